#!/usr/bin/env bash
# Renders a capture in chunks at the same time, with GNU parallel: N jobs on this machine, or
# jobs on other machines reached as ssh logins. Each chunk is a process of its own that plays
# its pre-roll (see README) and writes a lossless segment named by its range; the segments are
# joined with ffmpeg's concat demuxer and the music of the whole range is muxed once.
#
#   scripts/render-farm.sh OUT [--size WxH] [--fps N] [--from MARK|MS] [--to MARK|MS] [--mute]
#                          [--chunks N] [--jobs N] [--sshlogin LOGIN]... [--remote-dir DIR]
#                          [--build DIR] [--work DIR]
#
# OUT.mkv: the segments' FFV1 pictures as they are (no re-encoding) with the music as FLAC.
# OUT.mp4: one final encode to H.264 (CRF 18, yuv420p) and AAC, as --capture makes.
# --chunks N   pieces of the range (default: one per job, at least 1 s each; every chunk
#              replays its layers from their start, so more chunks cost more pre-roll)
# --jobs N     chunks at the same time on each machine (default: this machine's cores)
# --sshlogin   run the chunks on that ssh login (GNU parallel's syntax, also a whole command
#              like "ssh -p 2222 host"); give it again for more machines, and add this
#              machine as a login (localhost) to use it too. The build, the data and this script must lie
#              at the same path on every machine (a shared folder); the segments come back
#              through parallel's --return and each machine's files are cleaned up after.
# --remote-dir where the chunks run on the other machines (default "...": a folder of each
#              job's own under ~/.parallel/tmp, removed after)
# --build DIR  the build holding glimmerfall (default build)
# --work DIR   where the segments are kept (default OUT.parts); a rerun renders only the
#              segments that are missing there, so a chunk that failed or was killed is the
#              only one rendered again
#
# Needs GNU parallel and ffmpeg, and rsync for --sshlogin, on every machine (apt-get install
# parallel ffmpeg rsync).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"

die() {
    echo "render-farm: $*" >&2
    exit 2
}

# --- one chunk, on whichever machine parallel chose -----------------------------------------
# render-farm.sh --chunk EXE NAME FROM TO SIZE FPS: renders [FROM, TO) into NAME.mkv (FFV1)
# and NAME.wav in the current folder; both appear only once complete.
if [[ ${1:-} == --chunk ]]; then
    exe=$2 name=$3 from=$4 to=$5 size=$6 fps=$7
    host=$(hostname)
    tmp="$name.tmp"
    rm -rf "$tmp" "$tmp.mkv"
    fail() {
        echo "## ERROR: chunk $name ($from..$to ms) failed on $host in $PWD: $*" >&2
        exit 1
    }
    # Its progress lines (every 5 s) pass on, tagged with the chunk by parallel.
    set +e
    SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$exe" --capture "$PWD/$tmp" \
        --size "$size" --fps "$fps" --from "$from" --to "$to" 2>&1 | tee "$tmp.log" |
        grep --line-buffered -E '^# (capture|WARNING)|ERROR' >&2
    status=${PIPESTATUS[0]}
    set -e
    ((status == 0)) || fail "glimmerfall exited with status $status" \
        "$(grep -E 'ERROR|WARNING' "$tmp.log" | grep -v GL_ARB_imaging | tail -2 | tr '\n' ' ')"
    ffmpeg -nostdin -v error -framerate "$fps" -i "$tmp/frame_%06d.png" -c:v ffv1 -level 3 \
        -g 1 -pix_fmt bgr0 "$tmp.mkv" || fail "ffmpeg could not make the segment"
    mv "$tmp/audio.wav" "$name.wav" 2>/dev/null || fail "the capture wrote no audio.wav"
    mv "$tmp.mkv" "$name.mkv"
    rm -rf "$tmp" "$tmp.log"
    exit 0
fi

# --- the farm ------------------------------------------------------------------------------
[[ $# -ge 1 && ${1:0:1} != - ]] || die "usage: render-farm.sh OUT.mkv|OUT.mp4 [options] (see its header)"
out=$1
shift
size=1280x720 fps=60 from=s00 to=quit mute=no chunks= jobs=$(nproc) build="$root/build"
work= remote_dir=... logins=()
while [[ $# -gt 0 ]]; do
    [[ $# -ge 2 || $1 == --mute ]] || die "$1 needs a value"
    case $1 in
    --size) size=$2 ;;
    --fps) fps=$2 ;;
    --from) from=$2 ;;
    --to) to=$2 ;;
    --chunks) chunks=$2 ;;
    --jobs) jobs=$2 ;;
    --sshlogin)
        # Jobs on logins run in folders of their own and send their segments back; ":" would
        # run here in such a folder and send nothing.
        [[ $2 != : ]] || die "--sshlogin : is not supported; add this machine as an ssh login (localhost)"
        logins+=("$2")
        ;;
    --remote-dir) remote_dir=$2 ;;
    --build) build=$(cd "$2" && pwd) || die "no build folder $2" ;;
    --work) work=$2 ;;
    --mute) mute=yes && shift && continue ;;
    *) die "unknown option $1" ;;
    esac
    shift 2
done
case $out in
*.mkv | *.mp4) ;;
*) die "OUT is a .mkv (lossless pictures, FLAC) or .mp4 (H.264, AAC) file, not \"$out\"" ;;
esac
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || die "--size needs WxH"
[[ $fps =~ ^[0-9]+$ && $fps -ge 1 && $fps -le 240 ]] || die "--fps needs 1 to 240"
[[ -z $chunks || ($chunks =~ ^[0-9]+$ && $chunks -ge 1) ]] || die "--chunks needs a number"
[[ $jobs =~ ^[0-9]+$ && $jobs -ge 1 ]] || die "--jobs needs a number"
exe="$build/glimmerfall"
[[ -x $exe ]] || die "no $exe; build it first (./run.sh builds it)"
command -v parallel >/dev/null || die "GNU parallel is needed (apt-get install parallel)"
command -v ffmpeg >/dev/null || die "ffmpeg is needed (scripts/install-deps.sh)"

# Marks and the quit mark from the marker script, as the demo reads them.
markers="$root/data/script/markers.txt"
mark_ms() {
    [[ $1 =~ ^[0-9]+$ ]] && echo "$1" && return
    awk -v m="$1" '$1 == m { split($2, a, /[:,]/); print ((a[1] * 60 + a[2]) * 60 + a[3]) * 1000 + a[4]; exit }' "$markers"
}
from_ms=$(mark_ms "$from")
to_ms=$(mark_ms "$to")
quit_ms=$(mark_ms quit)
[[ -n $from_ms ]] || die "--from: no mark \"$from\" in $markers"
[[ -n $to_ms ]] || die "--to: no mark \"$to\" in $markers"
[[ -n $quit_ms && $to_ms -gt $quit_ms ]] && to_ms=$quit_ms
((to_ms > from_ms)) || die "the range $from_ms..$to_ms ms is empty"

# Chunks start on frames whose time from the range's start is a whole number of ms, so every
# chunk steps on the grid of one capture of the whole range.
gcd() { local a=$1 b=$2; while ((b)); do local t=$((a % b)); a=$b; b=$t; done; echo "$a"; }
period=$((fps / $(gcd "$fps" 1000)))        # frames
period_ms=$((period * 1000 / fps))
frames=$((((to_ms - from_ms) * fps + 999) / 1000))
periods=$(((frames + period - 1) / period))
if [[ -z $chunks ]]; then
    chunks=$((jobs * (${#logins[@]} > 0 ? ${#logins[@]} : 1)))
    per_s=$(((1000 + period_ms - 1) / period_ms)) # periods in a second
    ((chunks > periods / per_s)) && chunks=$((periods / per_s))
    ((chunks >= 1)) || chunks=1
fi
((chunks <= periods)) || chunks=$periods

out_dir=$(cd "$(dirname "$out")" 2>/dev/null && pwd) || die "no folder for $out"
out_abs=$out_dir/$(basename "$out")
work=${work:-${out%.*}.parts}
mkdir -p "$work"
work=$(cd "$work" && pwd)
list="$work/chunks.txt"
: >"$list"
todo=0
for ((i = 0; i < chunks; i++)); do
    a=$((from_ms + (periods * i / chunks) * period_ms))
    b=$((i + 1 == chunks ? to_ms : from_ms + (periods * (i + 1) / chunks) * period_ms))
    name=$(printf 'chunk_%s_%sfps_%09d-%09d' "$size" "$fps" "$a" "$b")
    if [[ -s $work/$name.mkv && -s $work/$name.wav ]]; then
        echo "# farm: $name is complete, not rendered again"
    else
        echo "$name $a $b" >>"$list"
        todo=$((todo + 1))
    fi
    echo "$name" >>"$work/segments.tmp"
done
mv "$work/segments.tmp" "$work/segments.txt"
echo "# farm: $from_ms..$to_ms ms, $frames frames of $size at $fps fps in $chunks chunks," \
    "$todo to render, $jobs jobs per machine${logins:+ on ${logins[*]}}"

status=0
if ((todo > 0)); then
    args=(--colsep ' ' --jobs "$jobs" --line-buffer --tagstring 'chunk {1}'
        --joblog "$work/joblog.txt")
    if [[ ${#logins[@]} -gt 0 ]]; then
        for login in "${logins[@]}"; do args+=(--sshlogin "$login"); done
        args+=(--workdir "$remote_dir" --return '{1}.mkv' --return '{1}.wav' --cleanup)
    fi
    # Overall progress: chunks finished, every 10 s.
    (
        while sleep 10; do
            done_now=$(awk -F'\t' 'NR > 1 && $7 == 0' "$work/joblog.txt" 2>/dev/null | wc -l)
            echo "# farm: $done_now/$todo chunks done"
        done
    ) &
    watcher=$!
    started=$(date +%s)
    cd "$work"
    parallel "${args[@]}" "$root/scripts/render-farm.sh" --chunk "$exe" '{1}' '{2}' '{3}' \
        "$size" "$fps" <"$list" || status=$?
    kill "$watcher" 2>/dev/null || true
    echo "# farm: rendering took $(($(date +%s) - started)) s"
    if ((status != 0)); then
        awk -F'\t' 'NR > 1 && $7 != 0 { host = $2 == ":" ? "this machine" : $2
            split($9, c, " "); print "## ERROR: chunk " c[4] " (" c[5] ".." c[6] " ms) failed on " host }' \
            "$work/joblog.txt" >&2
        if ((status > 100)); then
            echo "## ERROR: GNU parallel failed (status $status)" >&2
        else
            echo "## ERROR: $status chunks failed; run the same command again to render only those" >&2
        fi
        exit 1
    fi
fi

# The join: pictures copied, the music of the whole range once.
cd "$work"
: >video.txt
: >audio.txt
while read -r name; do
    [[ -s $name.mkv ]] || die "segment $name.mkv is missing"
    echo "file '$name.mkv'" >>video.txt
    echo "file '$name.wav'" >>audio.txt
done <segments.txt
audio=(-f concat -safe 0 -i audio.txt)
map=(-map 0:v -map 1:a)
[[ $mute == yes ]] && audio=() && map=(-map 0:v)
if [[ $out == *.mkv ]]; then
    codecs=(-c:v copy -c:a flac)
else
    codecs=(-c:v libx264 -crf 18 -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart)
fi
ffmpeg -nostdin -v error -y -f concat -safe 0 -i video.txt "${audio[@]}" "${map[@]}" \
    "${codecs[@]}" "$out_abs"
echo "# farm: $out_abs written ($frames frames); the segments stay in $work"
