#!/usr/bin/env bash
# Plays a stretch of the demo live on SDL's disk audio driver (a device with a clock of its
# own) under Xvfb and prints how far the music written by the device is from the demo time at
# that moment: mean, largest deviation from the mean and drift per stretch between seeks and
# pauses. The mean should equal the latency the demo accounts for.
#
#   scripts/measure-sync.sh [--build DIR] [--seconds N] [--start MARK] [--taps "S:KEY ..."]
# e.g. scripts/measure-sync.sh --seconds 60
#      scripts/measure-sync.sh --seconds 60 --taps "20:Right 35:p 37:p"
set -euo pipefail
cd "$(dirname "$0")/.."

build=build seconds=60 start=s00 taps=""
while [[ $# -gt 0 ]]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --start) start=$2; shift 2 ;;
        --taps) taps=$2; shift 2 ;;
        *) echo "usage: scripts/measure-sync.sh [--build DIR] [--seconds N] [--start MARK] [--taps \"S:KEY ...\"]" >&2; exit 2 ;;
    esac
done
log=$(mktemp)
trap 'rm -f "$log"' EXIT
scripts/live-play.sh --build "$build" --seconds "$seconds" --taps "$taps" --log "$log" \
    -- --start "$start" >/dev/null
scripts/sync-report.py "$log"
