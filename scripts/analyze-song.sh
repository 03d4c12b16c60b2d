#!/usr/bin/env bash
# Measures a song the way a listener's player decodes it: integrated loudness and true peak
# (EBU R128), sample peak, and a spectrogram of the whole piece as a PNG.
# usage: scripts/analyze-song.sh [song.mp3] [output folder]
set -euo pipefail

song="${1:-$(dirname "$0")/../data/music/goa3_4_master.mp3}"
out="${2:-/tmp/song-analysis}"
mkdir -p "$out"

echo "# song: $song"
# ffmpeg prints an empty summary for its probing pass first: keep the last one.
ffmpeg -hide_banner -nostats -i "$song" -filter_complex ebur128=peak=true+sample:framelog=verbose -f null - 2>&1 |
    awk '/Summary:/ { block = ""; keep = 1; next }
         keep && /(I:|LRA:|Peak:|Integrated|range|Sample|True)/ { block = block "#   " $0 "\n" }
         END { printf "%s", block }'

# Short-term loudness every 10 s shows the sections.
ffmpeg -hide_banner -nostats -i "$song" -filter_complex ebur128=metadata=1,ametadata=print:key=lavfi.r128.S:file="$out/short_term.txt" -f null - 2>/dev/null
awk '/pts_time/ { split($0, a, "pts_time:"); t = a[2] }
     /lavfi.r128.S=/ { split($0, b, "="); if (t + 0 >= next_t) { printf "#   %6.1f s  %6.1f LUFS short-term\n", t, b[2]; next_t = t + 10 } }' \
    "$out/short_term.txt"

ffmpeg -hide_banner -loglevel error -y -i "$song" \
    -lavfi "aformat=channel_layouts=mono,aresample=22050,showspectrumpic=s=1200x480:legend=1:scale=log:color=intensity" \
    "$out/spectrogram.png"
echo "# spectrogram: $out/spectrogram.png"
