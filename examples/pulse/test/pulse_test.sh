#!/usr/bin/env bash
# Pulse's test: --help names the program and the marks of its script, and a headless capture of
# the whole production shows its scenes and their reactions to the music (check_frames.py).
#   pulse_test.sh PULSE_EXECUTABLE
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

help=$("$exe" --help) || fail "--help exits with $?"
grep -q '^usage: pulse ' <<<"$help" || fail "--help does not name pulse: $help"
grep -q '^Marks: s00, s01$' <<<"$help" || fail "--help does not list the marks s00 and s01: $help"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
    "$exe" --capture "$work/frames" --fps 20 --size 320x180 --mute >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "the capture exits with an error"; }
python3 "$(dirname "$0")/check_frames.py" "$work/frames"
