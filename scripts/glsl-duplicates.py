#!/usr/bin/env python3
"""Lists GLSL function bodies (main included; comments and blanks ignored) that appear in more
than one shader file: a shared function belongs in an included file, an identical shader in one
file. Exit status 1 when there is one.
usage: scripts/glsl-duplicates.py [FOLDER...]   (default: the engine's, the demo's and the
examples' shader folders)"""
import collections
import hashlib
import pathlib
import re
import sys


def functions(source):
    source = re.sub(r"/\*.*?\*/", " ", source, flags=re.S)
    source = re.sub(r"//[^\n]*", " ", source)
    for m in re.finditer(r"\b([A-Za-z_]\w*)\s+([A-Za-z_]\w*)\s*\(([^()]*)\)\s*\{", source):
        if m.group(1) in ("if", "for", "while", "else", "return"):
            continue
        i, depth = m.end(), 1
        while i < len(source) and depth:
            depth += {"{": 1, "}": -1}.get(source[i], 0)
            i += 1
        yield f"{m.group(1)} {m.group(2)}({m.group(3).strip()})", re.sub(r"\s+", "", source[m.start():i])


root = pathlib.Path(__file__).resolve().parent.parent
folders = sys.argv[1:] or [root / "engine" / "src" / "shaders", root / "glimmerfall" / "shaders", root / "examples"]
files_of = collections.defaultdict(set)
name_of = {}
for path in sorted(p for folder in folders for p in pathlib.Path(folder).rglob("*.glsl")):
    for signature, body in functions(path.read_text()):
        key = hashlib.sha1(body.encode()).hexdigest()
        files_of[key].add(str(path.relative_to(root) if path.is_relative_to(root) else path))
        name_of[key] = signature
repeated = {k: v for k, v in files_of.items() if len(v) > 1}
for key in sorted(repeated, key=lambda k: name_of[k]):
    print(f"{name_of[key]} in {len(repeated[key])} files:")
    for name in sorted(repeated[key]):
        print(f"    {name}")
print(f"{len(repeated)} function bodies in more than one file")
sys.exit(1 if repeated else 0)
