#!/usr/bin/env python3
"""Compares two benchmark runs of the demo (glimmerfall --benchmark-json FILE).

  scripts/bench-compare.py before.json after.json [--png times.png] [--markers FILE]

Prints the stretches of the first run beside the same demo times of the second, with the ratio
of the medians (after / before: below 1 is faster), then the totals. With --png it draws both
runs' frame times over the demo time, with the scene marks (s00, s01, ...) of the marker script
(data/script/markers.txt by default), into a PNG file; that needs matplotlib
(Debian, Ubuntu: apt-get install python3-matplotlib).

The runs should cover the same range at the same rate; frames are matched by demo time.
"""
import argparse
import json
import os
import re
import statistics
import sys


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            run = json.load(f)
        frames = {}
        for stretch in run["stretches"]:
            at = stretch.get("frame_at_ms")
            ms = stretch.get("frame_ms")
            if at is None or ms is None or len(at) != len(ms):
                raise ValueError("no per-frame times (made by an older glimmerfall?)")
            frames.update(zip(at, ms))
        return run, frames
    except (OSError, ValueError, KeyError, TypeError) as error:
        sys.exit(f"## ERROR: {path}: {error}")


def clock(ms):
    return f"{ms // 60000}:{ms % 60000 / 1000:06.3f}"


def layers_text(layers):
    return ", ".join(f"{layer['depth']} {layer['scene']}" for layer in layers)


def median(values):
    return statistics.median(values) if values else float("nan")


def p95(values):
    if not values:
        return float("nan")
    ordered = sorted(values)
    rank = 0.95 * (len(ordered) - 1)
    low = int(rank)
    high = min(low + 1, len(ordered) - 1)
    return ordered[low] + (ordered[high] - ordered[low]) * (rank - low)


def ratio(after, before):
    return f"{after / before:.2f}" if before > 0 and after == after else "-"


def table(run_a, frames_a, frames_b):
    """Rows of the first run's stretches, each with the second run's frames of the same times."""
    rows = [("window", "layers", "frames", "A median", "B median", "B/A", "A p95", "B p95")]
    for stretch in run_a["stretches"]:
        times = stretch["frame_at_ms"]
        a = [frames_a[t] for t in times]
        b = [frames_b[t] for t in times if t in frames_b]
        rows.append((f"{clock(stretch['first_ms'])} - {clock(stretch['last_ms'])}",
                     layers_text(stretch["layers"]), f"{len(a)}/{len(b)}", f"{median(a):.2f}",
                     f"{median(b):.2f}", ratio(median(b), median(a)), f"{p95(a):.2f}",
                     f"{p95(b):.2f}"))
    all_a = list(frames_a.values())
    all_b = list(frames_b.values())
    rows.append(("total", "", f"{len(all_a)}/{len(all_b)}", f"{median(all_a):.2f}",
                 f"{median(all_b):.2f}", ratio(median(all_b), median(all_a)),
                 f"{p95(all_a):.2f}", f"{p95(all_b):.2f}"))
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    lines = []
    for row in rows:
        cells = [row[0].ljust(widths[0]), row[1].ljust(widths[1])]
        cells += [cell.rjust(width) for cell, width in zip(row[2:], widths[2:])]
        lines.append("  ".join(cells).rstrip())
    return "\n".join(lines)


def scene_marks(path):
    """(name, ms) of the sNN marks of a marker script; none when it cannot be read."""
    marks = []
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = re.match(r"\s*(s\d+)\s+(\d+):(\d+):(\d+),(\d+)", line)
                if m:
                    h, mi, s, ms = (int(g) for g in m.groups()[1:])
                    marks.append((m.group(1), ((h * 60 + mi) * 60 + s) * 1000 + ms))
    except OSError:
        print(f"# WARNING: no marker script at {path}; the plot has no scene marks",
              file=sys.stderr)
    return marks


def plot(path, names, runs, marks):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        sys.exit("## ERROR: --png needs matplotlib (Debian, Ubuntu: apt-get install "
                 "python3-matplotlib)")
    fig, ax = plt.subplots(figsize=(14, 5), dpi=100)
    for name, frames in zip(names, runs):
        times = sorted(frames)
        ax.plot([t / 1000 for t in times], [frames[t] for t in times], linewidth=0.8,
                label=f"{name} (median {median(list(frames.values())):.1f} ms)")
    top = max(max(frames.values()) for frames in runs if frames) * 1.08
    first = min(min(frames) for frames in runs if frames) / 1000
    last = max(max(frames) for frames in runs if frames) / 1000
    for name, ms in marks:
        if first <= ms / 1000 <= last:
            ax.axvline(ms / 1000, color="grey", linewidth=0.5, alpha=0.6)
            ax.text(ms / 1000, top, name, fontsize=7, color="grey", ha="left", va="top")
    ax.set_xlim(first, last)
    ax.set_ylim(0, top)
    ax.set_xlabel("demo time (s)")
    ax.set_ylabel("frame time (ms)")
    ax.legend(loc="upper right", fontsize=8)
    ax.grid(axis="y", alpha=0.3)
    fig.tight_layout()
    fig.savefig(path)
    print(f"# plot written to {path}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("before", help="benchmark JSON of the first run (A)")
    parser.add_argument("after", help="benchmark JSON of the second run (B)")
    parser.add_argument("--png", help="draw both runs' frame times into this PNG file")
    parser.add_argument("--markers", default=os.path.join(here, "..", "data", "script",
                                                          "markers.txt"),
                        help="marker script with the scene marks (for --png)")
    args = parser.parse_args()

    run_a, frames_a = load(args.before)
    run_b, frames_b = load(args.after)
    for key in ("width", "height", "fps"):
        if run_a.get(key) != run_b.get(key):
            print(f"# WARNING: the runs differ in {key}: {run_a.get(key)} and {run_b.get(key)}",
                  file=sys.stderr)
    print(f"# A: {args.before} ({run_a.get('renderer', '?')})")
    print(f"# B: {args.after} ({run_b.get('renderer', '?')})")
    print(table(run_a, frames_a, frames_b))
    if args.png:
        plot(args.png, ["A " + os.path.basename(args.before), "B " + os.path.basename(args.after)],
             [frames_a, frames_b], scene_marks(args.markers))


if __name__ == "__main__":
    main()
