#!/usr/bin/env python3
"""Reads a live log (glimmerfall --live-log) and prints how the music heard lines up with the
pictures: for every chunk the sound device was handed, the song position it starts with minus
the demo time at that moment. The stretches between seeks, pauses and resumes are measured
apart, each from one second after its start.

    scripts/sync-report.py LOG [--check]

--check exits 1 unless every stretch of at least 5 s keeps 95 % of its chunks within +-5 ms of
its mean, and its mean equals the latency the demo accounts for within 5 ms, and every stretch
of at least 10 s drifts by less than 0.1 ms/s. (A single late chunk is a stall of the machine
that wrote it: the disk driver's clock slips with it, and the demo follows.)
"""
import sys

SETTLE_MS = 1000.0
MIN_STRETCH_MS = 5000.0
MIN_DRIFT_STRETCH_MS = 10000.0


def read_log(path):
    latency = None
    events = []  # (kind, t_ms, values)
    with open(path) as log:
        for line in log:
            parts = line.split()
            if len(parts) < 2:
                continue
            try:
                t = float(parts[1])
                values = [float(v) for v in parts[2:]]
            except ValueError:
                continue
            if parts[0] == "latency" and values:
                latency = values[0]
            events.append((parts[0], t, values))
    return latency, events


def stretches(events):
    """Frames and callbacks between two seeks, pauses or resumes."""
    current = {"start": None, "frames": [], "callbacks": []}
    found = [current]
    for kind, t, values in events:
        if kind in ("seek", "pause", "resume"):
            current = {"start": t, "frames": [], "callbacks": []}
            found.append(current)
            if kind == "pause":
                current["paused"] = True
        elif kind == "frame" and values:
            current["frames"].append((t, values[0]))
        elif kind == "callback" and values:
            current["callbacks"].append((t, values[0]))
    return [s for s in found if s["start"] is not None and not s.get("paused")]


def demo_time_at(frames, t):
    """The demo time at counter time t, between the two frames around it; None outside."""
    lo, hi = 0, len(frames) - 1
    if hi < 1 or t < frames[0][0] or t > frames[hi][0]:
        return None
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if frames[mid][0] <= t:
            lo = mid
        else:
            hi = mid
    (t0, d0), (t1, d1) = frames[lo], frames[hi]
    return d0 if t1 == t0 else d0 + (d1 - d0) * (t - t0) / (t1 - t0)


def measure(stretch):
    samples = []
    for t, song_ms in stretch["callbacks"]:
        if t < stretch["start"] + SETTLE_MS:
            continue
        demo = demo_time_at(stretch["frames"], t)
        if demo is not None:
            samples.append((t, song_ms - demo))
    if len(samples) < 3:
        return None
    n = len(samples)
    mean = sum(o for _, o in samples) / n
    deviations = sorted(abs(o - mean) for _, o in samples)
    spread = deviations[-1]
    p95 = deviations[int(0.95 * (n - 1))]
    mt = sum(t for t, _ in samples) / n
    var = sum((t - mt) ** 2 for t, _ in samples)
    slope = sum((t - mt) * (o - mean) for t, o in samples) / var if var else 0.0
    length = samples[-1][0] - samples[0][0]
    return {"n": n, "mean": mean, "spread": spread, "p95": p95, "drift": slope * 1000.0,
            "length": length, "from": stretch["start"]}


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    latency, events = read_log(sys.argv[1])
    check = "--check" in sys.argv[2:]
    results = [r for r in (measure(s) for s in stretches(events)) if r]
    if latency is None or not results:
        print("sync: the log holds no measurable live play", file=sys.stderr)
        return 1
    print("latency accounted for: %.1f ms" % latency)
    print("%9s %8s %6s %9s %10s %10s %12s" % ("from s", "length s", "chunks", "mean ms",
                                              "max dev ms", "95% dev ms", "drift ms/s"))
    failed = False
    for r in results:
        print("%9.1f %8.1f %6d %9.1f %10.1f %10.1f %12.3f" % (
            r["from"] / 1000.0, r["length"] / 1000.0, r["n"], r["mean"], r["spread"], r["p95"],
            r["drift"]))
        if r["length"] >= MIN_STRETCH_MS and (r["p95"] > 5.0 or abs(r["mean"] - latency) > 5.0):
            failed = True
        if r["length"] >= MIN_DRIFT_STRETCH_MS and abs(r["drift"]) >= 0.1:
            failed = True
    if check and failed:
        print("sync: a stretch is off (limits: 95 % within +-5 ms of its mean, the mean within "
              "5 ms of the latency, 0.1 ms/s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
