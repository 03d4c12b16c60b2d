#!/usr/bin/env python3
"""Checks a capture of Pulse at 20 frames per second: the knot shows warm, the sparks cool,
neither black, and each kick and bell of the music brightens the frame drawn just after it.
   check_frames.py CAPTURE_DIR"""
import glob
import struct
import sys
import zlib

FPS = 20
KICKS_MS = [500 * beat for beat in range(4, 13)]  # the knot alone, from 2 s to 6 s
BELLS_MS = [8000 + 2000 * bar + ms for bar in range(2, 4) for ms in (0, 750, 1500)]


def mean_rgb(path):
    """The mean red, green and blue (0..255) of an 8-bit RGB or RGBA PNG without interlacing."""
    data = open(path, "rb").read()
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    assert depth == 8 and colour in (2, 6), f"{path}: not 8-bit RGB(A)"
    channels = 3 if colour == 2 else 4
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * channels
    previous, sums = bytearray(stride), [0, 0, 0]
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b, c = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        for k in range(3):
            sums[k] += sum(line[k::channels])
        previous = line
    return [s / (width * height) for s in sums]


def luma(rgb):
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]


def main():
    frames = sorted(glob.glob(sys.argv[1] + "/frame_*.png"))
    failures = []
    if len(frames) != 16 * FPS:
        failures.append(f"{len(frames)} frames, not {16 * FPS}")
        frames += [frames[-1]] * (16 * FPS - len(frames)) if frames else []
    cache = {}

    def rgb(ms):
        index = ms * FPS // 1000
        if index not in cache:
            cache[index] = mean_rgb(frames[index])
        return cache[index]

    for name, at_ms, warm in (("knot", 4000, True), ("sparks", 14000, False)):
        r, g, b = rgb(at_ms)
        if luma((r, g, b)) < 4:
            failures.append(f"the {name} at {at_ms} ms is black: {r:.1f} {g:.1f} {b:.1f}")
        if (r > 1.3 * b) != warm or (b > 1.3 * r) == warm:
            failures.append(f"the {name} at {at_ms} ms is not {'warm' if warm else 'cool'}: "
                            f"{r:.1f} {g:.1f} {b:.1f}")
    # An event at T fires in the first frame after T.
    for name, notes in (("kick", KICKS_MS), ("bell", BELLS_MS)):
        for t in notes:
            before, after = luma(rgb(t)), luma(rgb(t + 1000 // FPS))
            if after < before * 1.2:
                failures.append(f"the {name} at {t} ms: brightness {before:.2f} -> {after:.2f}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
