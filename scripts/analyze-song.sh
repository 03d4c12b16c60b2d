#!/usr/bin/env bash
# Measures a song the way a listener's player decodes it, next to its MIDI file, its marker
# script and the demo's timeline:
#   loudness      integrated loudness, true and sample peak, loudness range, clipped samples
#   sections      short-term loudness and left/right correlation of each section: all of it,
#                 below 120 Hz (kept mono) and above (where the width lives), above 6 kHz
#   drops         each drop's first eight bars against the last two bars of its build
#   low end       third-octave bands of the main groove (re 1 kHz); with SOUNDTRACK set to the
#                 generator, also of the kick rendered alone
#   lines         the strongest spectral line held across a section, 2 to 14 kHz (the
#                 cymbals' region, below the encoder's low pass), in the mix (where the held
#                 notes' harmonics count too) and, with SOUNDTRACK set, in the cymbals alone
#   grid          the share of the timeline's times on a beat of the song
#   kicks         how far each MIDI kick lies from the nearest onset in the music
# and draws a spectrogram of the whole song (sox) as a PNG.
# usage: [SOUNDTRACK=build/glimmerfall_build/tools/soundtrack/soundtrack] scripts/analyze-song.sh [song.mp3] [output folder]
# needs: ffmpeg, sox, python3 with numpy (scripts/install-deps.sh)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
song="${1:-$root/data/music/goa3_4_master.mp3}"
out="${2:-/tmp/song-analysis}"
data="$(cd "$(dirname "$song")/.." && pwd)"
mkdir -p "$out"

echo "# song: $song"
# ffmpeg prints an empty summary for its probing pass first: keep the last one.
ffmpeg -hide_banner -nostats -i "$song" -filter_complex ebur128=peak=true+sample -f null - 2>&1 |
    awk '/Summary:/ { block = ""; keep = 1; next }
         keep && /(I:|LRA:|Peak:)/ { gsub(/^ +/, ""); block = block "#   " $0 "\n" }
         END { printf "%s", block }'
ffmpeg -hide_banner -nostats -i "$song" -filter_complex \
    ebur128=metadata=1,ametadata=print:key=lavfi.r128.S:file="$out/short_term.txt" -f null - 2>/dev/null
ffmpeg -hide_banner -loglevel error -y -i "$song" -f f32le -ac 2 -ar 44100 "$out/song.f32"

solo=""
if [ -n "${SOUNDTRACK:-}" ]; then
    "$SOUNDTRACK" --out "$out/solo" --solo kick --seconds 40 >/dev/null
    ffmpeg -hide_banner -loglevel error -y -i "$out/solo/music/goa3_4_master.mp3" -f f32le -ac 2 \
        -ar 44100 "$out/kick.f32"
    "$SOUNDTRACK" --out "$out/metal" --solo hats,ride,crash,shaker >/dev/null
    ffmpeg -hide_banner -loglevel error -y -i "$out/metal/music/goa3_4_master.mp3" -f f32le -ac 2 \
        -ar 44100 "$out/metal.f32"
    solo="$out/kick.f32"
fi

python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3 # the system's, where Debian's numpy lives
"$python" - "$out" "$data/music/goa3_3.mid" "$data/script/markers.txt" \
    "$root/glimmerfall/src/scenes/timeline.cpp" "$solo" <<'EOF'
import re, struct, sys
import numpy as np

out, midi_path, markers_path, timeline_path, solo_path = sys.argv[1:6]
RATE = 44100
audio = np.fromfile(out + "/song.f32", dtype=np.float32).reshape(-1, 2).astype(np.float64)
left, right = audio[:, 0], audio[:, 1]
mono = 0.5 * (left + right)

# ---- the MIDI file: tempo and note-ons per track -------------------------------------------
data = open(midi_path, "rb").read()
division = struct.unpack(">H", data[12:14])[0]
pos, tempo, tracks = 14, 500000, []
while pos + 8 <= len(data):
    size = struct.unpack(">I", data[pos + 4:pos + 8])[0]
    chunk, pos = data[pos + 8:pos + 8 + size], pos + 8 + size
    i, tick, status, ons = 0, 0, 0, []
    while i < len(chunk):
        v = 0
        while True:
            b = chunk[i]; i += 1; v = (v << 7) | (b & 0x7F)
            if not b & 0x80: break
        tick += v
        if chunk[i] & 0x80: status = chunk[i]; i += 1
        if status == 0xFF:
            kind, n = chunk[i], chunk[i + 1]
            if kind == 0x51: tempo = int.from_bytes(chunk[i + 2:i + 5], "big")
            i += 2 + n
        elif status in (0xF0, 0xF7):
            n = 0
            while True:
                b = chunk[i]; i += 1; n = (n << 7) | (b & 0x7F)
                if not b & 0x80: break
            i += n
        else:
            kind = status & 0xF0
            if kind == 0x90 and chunk[i + 1] > 0: ons.append(tick)
            i += 1 if kind in (0xC0, 0xD0) else 2
    tracks.append(ons)
sec_per_tick = tempo / 1e6 / division
beat = tempo / 1e6
bar = 4 * beat
kicks = np.array(tracks[2]) * sec_per_tick if len(tracks) > 2 else np.array([])
print(f"# tempo: {60 / beat:.2f} BPM, a bar {bar * 1000:.1f} ms")

# ---- sections from the marker script -------------------------------------------------------
sections, quit_ms = [], None
for line in open(markers_path):
    m = re.match(r"# bar (\d+), (\d+) bars: ([^:]+)", line)
    if m:
        b, n = int(m.group(1)), int(m.group(2))
        sections.append((m.group(3).strip(), b * bar, (b + n) * bar))
    m = re.match(r"quit (\d+):(\d+):(\d+),(\d+)", line)
    if m:
        h, mi, s, ms = map(int, m.groups())
        quit_ms = ((h * 60 + mi) * 60 + s) * 1000 + ms

short = []  # (end of the 3 s window, short-term loudness)
t = None
for line in open(out + "/short_term.txt"):
    if "pts_time:" in line: t = float(line.split("pts_time:")[1].split()[0])
    elif "lavfi.r128.S=" in line and t is not None: short.append((t, float(line.split("=")[1])))
short = np.array(short)

def short_max(a, b):
    """The loudest 3 s window lying wholly inside [a, b]."""
    sel = (short[:, 0] >= a + 3.0 - 0.05) & (short[:, 0] <= b + 0.05)
    return short[sel, 1].max() if sel.any() else float("nan")

def band_pass(x, lo, hi):
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1 / RATE)
    spectrum[(f < lo) | (f >= hi)] = 0
    return np.fft.irfft(spectrum, len(x))

def correlation(l, r):
    d = np.sqrt(np.dot(l, l) * np.dot(r, r))
    return np.dot(l, r) / d if d > 0 else 1.0

def span(a, b):
    return slice(int(a * RATE), min(int(b * RATE), len(mono)))

clipped = int(np.count_nonzero(np.abs(audio) >= 0.9999))
print(f"#   clipped samples: {clipped}")

print("# sections: start, bars, loudest short-term, left/right correlation "
      "(all, <120 Hz, >120 Hz, >6 kHz)")
kick_bars = lambda a, b: np.count_nonzero((kicks >= a) & (kicks < b)) / max((b - a) / bar, 1e-9)
groove = []
for name, a, b in sections:
    s = span(a, b)
    l, r = left[s], right[s]
    c = (correlation(l, r), correlation(band_pass(l, 0, 120), band_pass(r, 0, 120)),
         correlation(band_pass(l, 120, RATE), band_pass(r, 120, RATE)),
         correlation(band_pass(l, 6000, RATE), band_pass(r, 6000, RATE)))
    is_groove = kick_bars(a, b) >= 3.0
    if is_groove: groove.append(c)
    print(f"#   {a:6.1f} s {round((b - a) / bar):3d}  {short_max(a, b):6.1f} LUFS  "
          f"{c[0]:5.2f} {c[1]:5.2f} {c[2]:5.2f} {c[3]:5.2f}  {name}{' (groove)' if is_groove else ''}")
if groove:
    g = np.array(groove)
    print(f"#   groove sections: correlation at most {g[:, 0].max():.2f} (above 120 Hz "
          f"{g[:, 2].max():.2f}), below 120 Hz at least {g[:, 1].min():.2f}")

print("# drops: loudest short-term of the drop's first 8 bars against the build's last 2")
for k, (name, a, b) in enumerate(sections[:-1]):
    if "build" in name:
        n_name, na, nb = sections[k + 1]
        build, drop = short_max(b - 2 * bar, b), short_max(na, na + 8 * bar)
        print(f"#   {name} -> {n_name} at {na:.1f} s: {build:.1f} -> {drop:.1f} LUFS "
              f"({drop - build:+.1f} LU)")

# ---- the low end ---------------------------------------------------------------------------
CENTRES = [31.5, 40, 50, 63, 80, 100, 125, 160, 200, 1000]
def third_octaves(x):
    n = 16384
    frames = [x[i:i + n] * np.hanning(n) for i in range(0, len(x) - n, n // 2)]
    power = np.mean([np.abs(np.fft.rfft(f)) ** 2 for f in frames], axis=0)
    f = np.fft.rfftfreq(n, 1 / RATE)
    bands = {}
    for c in CENTRES:
        exact = 1000 * 2 ** (round(3 * np.log2(c / 1000)) / 3)
        sel = (f >= exact * 2 ** (-1 / 6)) & (f < exact * 2 ** (1 / 6))
        bands[c] = 10 * np.log10(power[sel].sum() + 1e-30)
    return bands

main = [s for s in sections if s[0] == "main"]
a, b = (main[0][1], main[0][2]) if main else (52.0, 80.0)
bands = third_octaves(mono[span(a, b)])
print(f"# low end of the main groove ({a:.0f} to {b:.0f} s), third-octave bands re 1 kHz:")
print("#   " + "  ".join(f"{c:g}:{bands[c] - bands[1000]:+.1f}" for c in CENTRES[:-1]))
print(f"#   50 Hz band against 80 Hz band: {bands[50] - bands[80]:+.1f} dB")
if solo_path:
    kick = np.fromfile(solo_path, dtype=np.float32).reshape(-1, 2)[:, 0].astype(np.float64)
    kb = third_octaves(kick)
    top = max(CENTRES[:-1], key=lambda c: kb[c])
    print(f"#   kick alone: loudest band {top:g} Hz; 40 Hz {kb[40] - kb[top]:+.1f} dB, "
          f"100 Hz {kb[100] - kb[top]:+.1f} dB below it")

# ---- fixed spectral lines ------------------------------------------------------------------
n, hop = 8192, 4410
f = np.fft.rfftfreq(n, 1 / RATE)
def strongest_line(x):
    """The bin (2 to 14 kHz) whose median level over the frames stands highest over the median
    of its third octave: a line held through the stretch."""
    if len(x) < 4 * n or not np.any(x): return (0.0, 0.0)
    window = np.hanning(n)
    db = np.median([10 * np.log10(np.abs(np.fft.rfft(x[i:i + n] * window)) ** 2 + 1e-20)
                    for i in range(0, len(x) - n, hop)], axis=0)
    best = (-99.0, 0.0)
    for k in np.nonzero((f >= 2000) & (f <= 14000))[0]:
        lo, hi = np.searchsorted(f, [f[k] * 2 ** (-1 / 6), f[k] * 2 ** (1 / 6)])
        excess = db[k] - np.median(db[lo:hi])
        if excess > best[0]: best = (excess, f[k])
    return best
metal = None
if solo_path:
    metal = np.fromfile(out + "/metal.f32", dtype=np.float32).reshape(-1, 2).mean(axis=1)
print("# fixed lines: the strongest line (2 to 14 kHz) held through a section, re its third octave"
      + (": mix / cymbals alone" if metal is not None else ": mix"))
worst, worst_mix, over = (0.0, 0.0, ""), (-99.0, 0.0, ""), []
for name, a, b in sections:
    m = strongest_line(mono[span(a, b)])
    if m[0] > worst_mix[0]: worst_mix = (m[0], m[1], name)
    if m[0] > 6.0: over.append(name)
    line = f"#   {name:16s} {m[0]:+5.1f} dB at {m[1]:6.0f} Hz"
    if metal is not None:
        c = strongest_line(metal[span(a, b)].astype(np.float64))
        if c[0] > worst[0]: worst = (c[0], c[1], name)
        line += f"   / {c[0]:+5.1f} dB at {c[1]:6.0f} Hz"
    print(line)
print(f"#   mix's strongest: {worst_mix[0]:+.1f} dB at {worst_mix[1]:.0f} Hz in {worst_mix[2]}; "
      f"sections over +6 dB: {', '.join(over) if over else 'none'}")
if metal is not None:
    print(f"#   cymbals' strongest: {worst[0]:+.1f} dB at {worst[1]:.0f} Hz in {worst[2]}")

# ---- the timeline's times on the beat grid -------------------------------------------------
src = open(timeline_path).read()
times = set()
for m in re.finditer(r"sLayer\([^;]*?,\s*\d+,\s*(\d+),\s*(\d+)\)", src): times.update(map(int, m.groups()))
for m in re.finditer(r'find_var\(\d+,\s*"[^"]+"\),\s*(\d+),\s*(\d+)', src): times.update(map(int, m.groups()))
for m in re.finditer(r"\{\d+,\s*(\d+),\s*(\d+),\s*[\d.]+f\}", src): times.update(map(int, m.groups()))
end = quit_ms if quit_ms else 236000
times = sorted(t for t in times if 1000 <= t <= end)
def off(t, step):
    step_ms = step * 1000
    return abs(t - round(t / step_ms) * step_ms)
on_beat = [t for t in times if off(t, beat) <= 15]
on_bar = [t for t in times if off(t, bar) <= 15]
print(f"# grid: {len(on_beat)} of {len(times)} timeline times ({100 * len(on_beat) / max(len(times), 1):.0f} %) "
      f"within 15 ms of a beat, {len(on_bar)} on a bar line; off the beat: "
      + " ".join(str(t) for t in times if t not in on_beat))

# ---- kicks against onsets in the music ----------------------------------------------------
power = np.concatenate([[0.0], np.cumsum(mono * mono)])
def mean_power(a, n): return (power[a + n] - power[a]) / n
worst_kick, late = 0.0, 0
for t in kicks:
    at = int(round(t * RATE))
    c = np.arange(max(at - 882, 441), min(at + 882, len(mono) - 89), 4)
    if len(c) == 0: continue
    ratio = mean_power(c, 88) / (mean_power(c - 441, 441) + 1e-12)
    d = abs(c[ratio.argmax()] - at) / RATE * 1000
    worst_kick = max(worst_kick, d)
    late += d > 5.0
print(f"# kicks: {len(kicks) - late} of {len(kicks)} MIDI kicks within 5 ms of an onset "
      f"(farthest {worst_kick:.1f} ms)")
EOF

wav="$out/song.wav"
ffmpeg -hide_banner -loglevel error -y -i "$song" "$wav"
sox "$wav" -n remix 1,2 spectrogram -x 1800 -y 600 -z 90 -t "$(basename "$song")" -o "$out/spectrogram.png"
rm -f "$wav" "$out/song.f32" "$out/kick.f32" "$out/metal.f32"
echo "# spectrogram: $out/spectrogram.png"
