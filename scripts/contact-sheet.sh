#!/usr/bin/env bash
# One frame every N seconds of a video, tiled into a single PNG, to look at a whole capture at once.
#   scripts/contact-sheet.sh VIDEO OUT.png [SECONDS]     (default: every 5 s, six frames a row)
set -euo pipefail
if [[ $# -lt 2 || $# -gt 3 ]]; then
    sed -n '2,3p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
video=$1 out=$2 every=${3:-5}
[[ -f $video ]] || { echo "contact-sheet.sh: no video \"$video\"" >&2; exit 2; }
[[ $every =~ ^[1-9][0-9]*$ ]] || { echo "contact-sheet.sh: SECONDS must be a whole number above 0" >&2; exit 2; }
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video")
frames=$(awk -v d="$duration" -v e="$every" 'BEGIN { n = int(d / e); if (n * e < d) n++; print n }')
rows=$(( (frames + 5) / 6 ))
ffmpeg -loglevel error -y -i "$video" \
    -vf "fps=1/$every,scale=320:180,drawtext=text='%{pts\\:hms}':x=6:y=6:fontsize=16:fontcolor=white,tile=6x$rows" \
    -frames:v 1 "$out" 2>/dev/null ||
    ffmpeg -loglevel error -y -i "$video" -vf "fps=1/$every,scale=320:180,tile=6x$rows" -frames:v 1 "$out"
echo "$out: $frames frames, one every $every s"
