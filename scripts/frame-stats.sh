#!/usr/bin/env bash
# Frame statistics of a PNG capture: the mean luminance of every frame and its mean absolute
# difference to the previous one, as a CSV and a plot with the scene marks, and the moments worth
# looking at.
#   scripts/frame-stats.sh CAPTURE_DIR [--from MS|MARK] [--fps N] [--out PREFIX]
#     --from   demo time of frame 0 (the capture's --from; default s00, that is 0)
#     --fps    frames per second of the capture (default: from the length of audio.wav, else 30)
#     --out    where the results go (default CAPTURE_DIR/frame-stats): PREFIX.csv, PREFIX.png and
#              PREFIX.txt (the report, also printed)
# The marks, beats and layer windows come from data/script/markers.txt, data/music/goa3_3.mid and
# glimmerfall/src/scenes/timeline.cpp. Needs python3 and ffmpeg.
set -euo pipefail
usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
[[ $# -ge 1 && $1 != -h && $1 != --help ]] || usage
dir=$1
shift
from=0 fps="" out=""
while [[ $# -gt 0 ]]; do
    [[ $# -ge 2 ]] || usage
    case $1 in
    --from) from=$2 ;;
    --fps) fps=$2 ;;
    --out) out=$2 ;;
    *) usage ;;
    esac
    shift 2
done
[[ -f $dir/frame_000000.png ]] || { echo "frame-stats.sh: no frame_000000.png in \"$dir\"" >&2; exit 2; }
[[ -z $fps || $fps =~ ^[1-9][0-9]{0,2}$ ]] || { echo "frame-stats.sh: --fps takes a whole number 1..999" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
out=${out:-$dir/frame-stats}
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Luminance (BT.601 luma of the full-range grey picture) and the frame-to-frame difference, both
# 0..255, computed by ffmpeg in one pass.
ffmpeg -loglevel error -nostdin -start_number 0 -framerate 30 -i "$dir/frame_%06d.png" \
    -filter_complex "[0:v]format=gray,split[a][b];[a]signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=$work/lum.txt[x];[b]tblend=all_mode=difference,signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=$work/diff.txt[y]" \
    -map "[x]" -f null - -map "[y]" -f null -

python3 - "$dir" "$from" "$fps" "$out" "$work" "$root" <<'PY'
import cmath
import math
import os
import re
import struct
import sys
import wave
import zlib

capture, from_arg, fps_arg, out, work, root = sys.argv[1:]


def fail(message):
    sys.stderr.write("frame-stats.sh: " + message + "\n")
    sys.exit(2)


def read_values(path):
    values = []
    with open(path) as f:
        for line in f:
            if line.startswith("lavfi.signalstats.YAVG="):
                values.append(float(line.split("=", 1)[1]) / 255.0)
    return values


lum = read_values(os.path.join(work, "lum.txt"))
diff = [None] + read_values(os.path.join(work, "diff.txt"))
n = len(lum)
if n < 3:
    fail("fewer than three frames")
diff = diff[:n] + [None] * (n - len(diff))

# --- the song's marks, beats and the timeline's layers ------------------------------------------
marks = []  # (ms, token)
markers = os.path.join(root, "data", "script", "markers.txt")
if os.path.isfile(markers):
    for line in open(markers, errors="replace"):
        m = re.match(r"\s*([a-z0-9_]+)\s+(\d+):(\d+):(\d+),(\d+)\s*$", line)
        if m and not line.lstrip()[:1].isdigit():
            h, mi, s, ms = (int(x) for x in m.groups()[1:])
            marks.append((((h * 60 + mi) * 60 + s) * 1000 + ms, m.group(1)))
marks.sort()
scene_marks = [(t, k) for t, k in marks if re.fullmatch(r"s\d\d+|quit", k)]

if re.fullmatch(r"\d+", from_arg):
    start_ms = int(from_arg)
else:
    found = [t for t, k in marks if k == from_arg]
    if not found:
        fail('--from: no mark "%s" in %s' % (from_arg, markers))
    start_ms = found[0]

fps = int(fps_arg) if fps_arg else 0
wav = os.path.join(capture, "audio.wav")
if not fps and os.path.isfile(wav):
    try:
        with wave.open(wav) as w:
            seconds = w.getnframes() / float(w.getframerate())
        if seconds > 0:
            fps = int(round(n / seconds))
    except (wave.Error, EOFError, ZeroDivisionError):
        fps = 0
fps = fps if 0 < fps < 1000 else 30
frame_ms = 1000.0 / fps
times = [start_ms + i * frame_ms for i in range(n)]
end_ms = times[-1] + frame_ms

# One tempo for the whole song, the last one in the file, as the demo reads it.
beat_ms = 60000.0 / 144
midi = os.path.join(root, "data", "music", "goa3_3.mid")
if os.path.isfile(midi):
    data = open(midi, "rb").read()
    at = data.rfind(b"\xff\x51\x03")
    if at >= 0 and at + 6 <= len(data):
        us = (data[at + 3] << 16) | (data[at + 4] << 8) | data[at + 5]
        if us > 0:
            beat_ms = us / 1000.0

layers = []  # (depth, scene, start, end, fade in, fade out)
timeline = os.path.join(root, "glimmerfall", "src", "scenes", "timeline.cpp")
if os.path.isfile(timeline):
    text = open(timeline, errors="replace").read()
    for m in re.finditer(
            r"add_layer\(\s*(\d+),\s*sLayer\(\s*scenes->get_scene<cScene(\w+)>\(\),\s*\d+,\s*(\d+),"
            r"\s*(\d+)\),\s*(\d+),\s*(\d+)\)", text):
        depth, scene, a, b, fin, fout = m.groups()
        layers.append((int(depth), scene, int(a), int(b), int(fin), int(fout)))
edges = sorted({e for l in layers for e in (l[2], l[2] + l[4], l[3] - l[5], l[3])})


def near(ms_list, t, before, after):
    # Whether something at one of these times shows first in the frame at t: the change lands
    # in the frame after it, so allow up to `before` ms earlier and `after` ms later.
    return any(t - before <= e <= t + after for e in ms_list)


def on_beat(t):
    k = round((t - frame_ms * 0.5) / beat_ms)
    return any(t - 2 * frame_ms <= j * beat_ms <= t + 0.5 * frame_ms for j in (k - 1, k, k + 1))


# --- single-frame spikes -------------------------------------------------------------------------
lone = [False] * n
for i in range(2, n - 1):
    d0, d1, d2 = diff[i - 1], diff[i], diff[i + 1]
    lone[i] = d1 > 1.2 * d0 and d1 > 1.2 * d2

mark_times = [t for t, _ in marks]
suspects = []
for i in range(2, n - 1):
    d = diff[i]
    if not lone[i] or d < 0.01 or d < 1.5 * max(diff[i - 1], diff[i + 1]):
        continue
    t = times[i]
    if on_beat(t) or near(mark_times, t, 2 * frame_ms, 0.5 * frame_ms) or \
            near(edges, t, 2 * frame_ms, 0.5 * frame_ms):
        continue
    suspects.append(i)


def clock(ms):
    ms = int(round(ms))
    return "%d:%02d.%03d" % (ms // 60000, ms // 1000 % 60, ms % 1000)


# Spikes less than a second apart are one stretch.
spike_runs = []
for i in suspects:
    if spike_runs and times[i] - times[spike_runs[-1][-1]] <= 1000:
        spike_runs[-1].append(i)
    else:
        spike_runs.append([i])

# --- stretches too dark or too bright ------------------------------------------------------------
extremes = []  # (first, last, "dark"/"bright")
for kind, test in (("dark", lambda v: v < 0.03), ("bright", lambda v: v > 0.85)):
    i = 0
    while i < n:
        if test(lum[i]):
            j = i
            while j + 1 < n and test(lum[j + 1]):
                j += 1
            if (j - i + 1) * frame_ms > 1000:
                extremes.append((i, j, kind))
            i = j + 1
        else:
            i += 1
extremes.sort()

# --- periodic flicker: the difference's spectrum in overlapping windows of about 8 s ------------
size = 1 << max(5, int(round(math.log2(8 * fps))))
hann = [0.5 - 0.5 * math.cos(2 * math.pi * k / (size - 1)) for k in range(size)]
beat_hz = 1000.0 / beat_ms
flicker = []  # (first frame, last frame, Hz, strength)
if n - 1 >= size:
    twiddle = [[cmath.exp(-2j * math.pi * b * k / size) for k in range(size)]
               for b in range(size // 2 + 1)]
    half = fps // 2
    smooth = [0.0] * n
    for i in range(1, n):
        window = diff[max(1, i - half):min(n, i + half + 1)]
        smooth[i] = sum(window) / len(window)
    starts = list(range(1, n - size + 1, size // 2))
    if starts[-1] != n - size:
        starts.append(n - size)
    for s in starts:
        seg = diff[s:s + size]
        mean = sum(seg) / size
        if mean < 0.002:
            continue
        # Less the running mean over a second: slow swells and the step where a layer comes in
        # leave the spectrum alone.
        x = [(seg[k] - smooth[s + k]) * hann[k] for k in range(size)]
        power = [abs(sum(a * b for a, b in zip(x, twiddle[b]))) ** 2 for b in range(size // 2 + 1)]
        median = max(sorted(power[2:])[(len(power) - 2) // 2], 1e-20)
        # Every clear, narrow peak (a local maximum far above the median) away from the beat
        # rate, its halves and its multiples; the strongest of them counts. Its strength is the amplitude
        # of that sine against the mean difference (the Hann window halves the sum).
        found = None
        # Below 0.7 Hz a change reads as a swell, not as flicker.
        for b in range(max(2, int(math.ceil(0.7 * size / fps))), len(power) - 1):
            if power[b] < 12 * median or power[b] < power[b - 1] or power[b] < power[b + 1]:
                continue
            # A rhythm is a narrow peak; a single event (a cut, a layer coming in) spreads wide.
            if power[b] < 4 * max(power[max(1, b - 3)], power[min(len(power) - 1, b + 3)]):
                continue
            hz = b * fps / size
            if any(abs(hz - k * beat_hz / 2) <= fps / size for k in range(1, 64)):
                continue
            strength = 2 * math.sqrt(power[b]) / (size * 0.5) / mean
            if strength > 0.15 and (found is None or strength > found[1]):
                found = (hz, strength)
        if found:
            flicker.append((s, s + size - 1) + found)
# Overlapping windows with flicker are one stretch: its frequencies and largest strength.
merged = []
for s, e, hz, strength in flicker:
    if merged and s <= merged[-1][1]:
        a, _, lo, hi, top = merged[-1]
        merged[-1] = (a, e, min(lo, hz), max(hi, hz), max(top, strength))
    else:
        merged.append((s, e, hz, hz, strength))

# --- per layer: how many of its frames are lone spikes -----------------------------------------
layer_rows = []
for depth, scene, a, b, fin, fout in layers:
    inside = [i for i in range(2, n - 1) if a <= times[i] < b]
    if inside:
        share = sum(lone[i] for i in inside) / float(len(inside))
        layer_rows.append((depth, scene, a, b, len(inside), share))

# --- the CSV -------------------------------------------------------------------------------------
with open(out + ".csv", "w") as f:
    f.write("frame,time_ms,luminance,difference,lone_spike\n")
    for i in range(n):
        f.write("%d,%.1f,%.5f,%s,%d\n" % (i, times[i], lum[i],
                                          "" if diff[i] is None else "%.5f" % diff[i], lone[i]))

# --- the report ----------------------------------------------------------------------------------
lines = []
lines.append("# %s: %d frames at %d fps, %s to %s; beat %.1f ms" %
             (capture, n, fps, clock(start_ms), clock(end_ms), beat_ms))
valid = [d for d in diff if d is not None]
lines.append("mean luminance %.3f, mean difference %.4f, lone spikes %.1f %% of the frames" %
             (sum(lum) / n, sum(valid) / len(valid), 100.0 * sum(lone) / max(1, n - 3)))
lines.append("")
lines.append("lone spikes (a difference above 1.2 times both neighbours) per layer:")
lines.append("depth  scene            window                frames  lone spikes")
for depth, scene, a, b, count, share in layer_rows:
    lines.append("%5d  %-15s  %s - %s  %6d  %5.1f %%" %
                 (depth, scene.lower(), clock(a), clock(b), count, 100 * share))
lines.append("")
lines.append("suspect single-frame spikes (not on a beat, a mark or a layer edge): %d" % len(suspects))
for run in spike_runs:
    top = max(run, key=lambda i: diff[i])
    if len(run) == 1:
        lines.append("  %s  frame %d  difference %.3f" % (clock(times[top]), top, diff[top]))
    else:
        lines.append("  %s - %s  %d spikes, largest %.3f at frame %d" %
                     (clock(times[run[0]]), clock(times[run[-1]]), len(run), diff[top], top))
lines.append("stretches over 1 s darker than 0.03 or brighter than 0.85: %d" % len(extremes))
for i, j, kind in extremes:
    mean = sum(lum[i:j + 1]) / (j - i + 1)
    lines.append("  %s - %s  %-6s  %.1f s, mean luminance %.3f" %
                 (clock(times[i]), clock(times[j] + frame_ms), kind, (j - i + 1) / float(fps), mean))
lines.append("periodic flicker off the beat (in %d-frame windows): %d stretches" %
             (size, len(merged)))
for s, e, lo, hi, strength in merged:
    hz = "%.2f" % lo if lo == hi else "%.2f to %.2f" % (lo, hi)
    lines.append("  %s - %s  %s Hz, up to %.0f %% of the mean difference" %
                 (clock(times[s]), clock(times[e] + frame_ms), hz, 100 * strength))
report = "\n".join(lines) + "\n"
open(out + ".txt", "w").write(report)
sys.stdout.write(report)

# --- the plot ------------------------------------------------------------------------------------
FONT = {  # 3x5 glyphs, rows top to bottom, 3 bits each
    "0": [7, 5, 5, 5, 7], "1": [2, 6, 2, 2, 7], "2": [7, 1, 7, 4, 7],
    "3": [7, 1, 3, 1, 7], "4": [5, 5, 7, 1, 1], "5": [7, 4, 7, 1, 7], "6": [7, 4, 7, 5, 7],
    "7": [7, 1, 1, 2, 2], "8": [7, 5, 7, 5, 7], "9": [7, 5, 7, 1, 7], ":": [0, 2, 0, 2, 0],
    ".": [0, 0, 0, 0, 2], "-": [0, 0, 7, 0, 0], "%": [5, 1, 2, 4, 5], " ": [0, 0, 0, 0, 0],
    "a": [0, 7, 1, 7, 7], "b": [4, 4, 7, 5, 7], "c": [0, 7, 4, 4, 7], "d": [1, 1, 7, 5, 7],
    "e": [0, 7, 7, 4, 7], "f": [3, 4, 6, 4, 4], "g": [0, 7, 5, 7, 1], "h": [4, 4, 7, 5, 5],
    "i": [2, 0, 2, 2, 2], "k": [4, 5, 6, 5, 5], "l": [6, 2, 2, 2, 7], "m": [0, 7, 7, 5, 5],
    "n": [0, 6, 5, 5, 5], "o": [0, 7, 5, 5, 7], "p": [0, 7, 5, 7, 4], "q": [0, 7, 5, 7, 1],
    "r": [0, 7, 4, 4, 4], "s": [0, 7, 6, 1, 7], "t": [4, 7, 4, 4, 3], "u": [0, 5, 5, 5, 7],
    "v": [0, 5, 5, 5, 2], "w": [0, 5, 5, 7, 7], "x": [0, 5, 2, 2, 5], "y": [0, 5, 7, 1, 7],
}
W = max(640, min(2000, n))
PANEL, GAP, TOP = 180, 34, 22
H = TOP + 2 * PANEL + 2 * GAP
pixels = bytearray(bytes((14, 12, 20)) * (W * H))


def put(x, y, rgb):
    if 0 <= x < W and 0 <= y < H:
        p = (y * W + x) * 3
        pixels[p:p + 3] = bytes(rgb)


def text(x, y, s, rgb, scale=2):
    for ch in s.lower():
        rows = FONT.get(ch)
        if rows:
            for r, bits in enumerate(rows):
                for c in range(3):
                    if bits >> (2 - c) & 1:
                        for dy in range(scale):
                            for dx in range(scale):
                                put(x + c * scale + dx, y + r * scale + dy, rgb)
        x += 4 * scale


def vline(x, y0, y1, rgb):
    for y in range(y0, y1):
        put(x, y, rgb)


def column(i):
    return int(i * W / n)


panels = [(TOP, "luminance", 1.0), (TOP + PANEL + GAP, "difference", 0.0)]
ordered = sorted(valid)
dmax = max(0.02, ordered[min(len(ordered) - 1, int(len(ordered) * 0.998))] * 1.15)
panels[1] = (panels[1][0], "difference", dmax)
for y0, title, top_value in panels:
    for y in (y0, y0 + PANEL - 1):
        for x in range(W):
            put(x, y, (60, 56, 70))
    text(4, y0 - 14, "%s 0 - %s" % (title, ("%.3f" % top_value).rstrip("0").rstrip(".")),
         (200, 200, 210))
for i, j, kind in extremes:
    for x in range(column(i), max(column(i) + 1, column(j + 1))):
        vline(x, TOP + 1, TOP + PANEL - 1, (70, 20, 20) if kind == "dark" else (70, 70, 20))
for a, b in [(column(s), column(e + 1)) for s, e, _, _, _ in merged]:
    for x in range(a, max(a + 1, b)):
        vline(x, panels[1][0] + 1, panels[1][0] + 6, (255, 120, 0))
# Scene marks and the time along the bottom.
for t, token in scene_marks:
    if start_ms <= t < end_ms:
        x = int((t - start_ms) / (end_ms - start_ms) * W)
        vline(x, TOP, H - GAP + 4, (90, 90, 140))
        text(x + 2, TOP + 2, token, (150, 150, 230))
step = max(1000, int(math.ceil((end_ms - start_ms) / 12000.0)) * 1000)
t = int(math.ceil(start_ms / step)) * step
while t < end_ms:
    x = int((t - start_ms) / (end_ms - start_ms) * W)
    vline(x, H - GAP + 2, H - GAP + 8, (200, 200, 210))
    text(x + 2, H - GAP + 12, "%d:%02d" % (t // 60000, t // 1000 % 60), (200, 200, 210))
    t += step
# The curves: per column the mean luminance and the largest difference; suspect spikes in red.
suspect_columns = {column(i) for i in suspects}
prev = [None, None]
for x in range(W):
    a, b = int(x * n / W), max(int(x * n / W) + 1, int((x + 1) * n / W))
    values = [sum(lum[a:b]) / (b - a), max([d for d in diff[a:b] if d is not None] or [0.0])]
    for k, (y0, _, top_value) in enumerate(panels):
        v = min(max(values[k] / (top_value or 1.0), 0.0), 1.0)
        y = y0 + PANEL - 2 - int(v * (PANEL - 3))
        lo, hi = (y, y) if prev[k] is None else (min(y, prev[k]), max(y, prev[k]))
        for yy in range(lo, hi + 1):
            put(x, yy, (240, 220, 90) if k == 0 else (90, 220, 240))
        prev[k] = y
    if x in suspect_columns:
        for yy in range(panels[1][0] + PANEL - 8, panels[1][0] + PANEL - 2):
            put(x, yy, (255, 60, 60))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


raw = b"".join(b"\x00" + bytes(pixels[y * W * 3:(y + 1) * W * 3]) for y in range(H))
with open(out + ".png", "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
print("wrote %s.csv, %s.png, %s.txt" % (out, out, out))
PY
