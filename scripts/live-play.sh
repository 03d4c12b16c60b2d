#!/usr/bin/env bash
# Plays the demo live as a viewer would run it: a real window on an X display (a private Xvfb
# unless DISPLAY is set and --xvfb is not given), SDL's x11 video driver, SDL's disk audio
# driver writing what would be heard, and key taps sent through XTest (xdotool).
#
#   scripts/live-play.sh [options] [-- demo options]
#     --build DIR      where glimmerfall was built (default build)
#     --seconds N      play this long once the first frame is up, then tap q (default 30)
#     --taps "S:KEY ..."  tap KEY (an xdotool key name) S seconds after the first frame
#     --tap-ms N       how long a tap holds its key (default 20)
#     --size WxH       picture size (default 320x180)
#     --log FILE       the demo's live log (default: a temporary file, removed)
#     --audio FILE     what the sound device played (default: a temporary file, removed)
#     --xvfb           start a private Xvfb even when DISPLAY is set
# Prints the demo's output; exits with the demo's status (124 when it did not end in time).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build seconds=30 taps="" tap_ms=20 size=320x180 log="" audio="" own_x=no
while [[ $# -gt 0 ]]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --taps) taps=$2; shift 2 ;;
        --tap-ms) tap_ms=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --log) log=$2; shift 2 ;;
        --audio) audio=$2; shift 2 ;;
        --xvfb) own_x=yes; shift ;;
        --) shift; break ;;
        *) echo "live-play: unknown option $1" >&2; exit 2 ;;
    esac
done
for tool in xdotool python3; do
    command -v "$tool" >/dev/null || { echo "live-play: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid="" demo_pid=""
cleanup() {
    [[ -n $demo_pid ]] && kill "$demo_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
log=${log:-$work/live.log}
audio=${audio:-$work/audio.raw}
rm -f "$log"

if [[ -z ${DISPLAY:-} || $own_x == yes ]]; then
    command -v Xvfb >/dev/null || { echo "live-play: Xvfb is missing (scripts/install-deps.sh)" >&2; exit 2; }
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
    exec 5>&-
    [[ -s $work/display ]] || { echo "live-play: Xvfb did not start" >&2; cat "$work/xvfb.out" >&2; exit 2; }
    export DISPLAY=":$(head -n1 "$work/display")"
fi

SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" \
    "$build/glimmerfall" --windowed --size "$size" --live-log "$log" "$@" &
demo_pid=$!

# The clock of the taps starts with the first frame of the show (after loading and the fade).
waited=0
until grep -q '^frame ' "$log" 2>/dev/null; do
    if ! kill -0 "$demo_pid" 2>/dev/null; then
        wait "$demo_pid" && status=0 || status=$?
        demo_pid=""
        echo "live-play: the demo ended before its first frame (status $status)" >&2
        exit "$status"
    fi
    sleep 0.1
    waited=$((waited + 1))
    if [[ $waited -gt 1800 ]]; then
        echo "live-play: no frame after 180 s" >&2
        exit 124
    fi
done
window=$(xdotool search --sync --name "vantor OpenGL" | head -n1)
xdotool windowfocus --sync "$window" 2>/dev/null || true
start=$(date +%s.%N)

tap() {
    xdotool keydown "$1"
    sleep "$(awk -v ms="$tap_ms" 'BEGIN { printf "%.3f", ms / 1000 }')"
    xdotool keyup "$1"
}
sleep_until() {
    local left
    left=$(awk -v s="$start" -v at="$1" -v now="$(date +%s.%N)" 'BEGIN { d = s + at - now; if (d < 0) d = 0; printf "%.3f", d }')
    sleep "$left"
}
for entry in $taps; do
    sleep_until "${entry%%:*}"
    kill -0 "$demo_pid" 2>/dev/null || break
    tap "${entry#*:}"
done
sleep_until "$seconds"
kill -0 "$demo_pid" 2>/dev/null && tap q

status=0
for _ in $(seq 300); do
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$demo_pid" 2>/dev/null; then
    echo "live-play: the demo did not leave within 30 s of q" >&2
    exit 124
fi
wait "$demo_pid" || status=$?
demo_pid=""
exit "$status"
