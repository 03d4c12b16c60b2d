#!/usr/bin/env bash
# Live play on a real X display (a private Xvfb, SDL's x11 driver) with SDL's disk audio
# driver: every key the README lists is sent as a 20 ms tap through XTest and must act, the
# demo must leave with status 0 on q, and the music written by the device must stay locked to
# the demo time.
#   tests/live/live_play_test.sh BUILD_DIR [--no-sync]
set -uo pipefail
build=$1
check_sync=yes
[[ ${2:-} == --no-sync ]] && check_sync=no
root="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# Tab, Space, Right, Page Down, p twice, m twice, t twice; q at the end (live-play.sh).
taps="2:Tab 3:space 5:Right 11:Next 16:p 17:p 19:m 20:m 22:t 24:t"
"$root/scripts/live-play.sh" --build "$build" --xvfb --seconds 30 --log "$work/live.log" \
    --taps "$taps" -- --start s04 >"$work/out" 2>"$work/err"
status=$?
[[ $status -eq 0 ]] || fail "the demo left with status $status"

# Key codes as the demo logs them: SDL's for Right and Page Down.
acted() { grep -c "^key [0-9.]* $1\$" "$work/live.log"; }
for entry in "9:1:Tab" "32:1:Space" "1073741903:1:Right" "1073741902:1:Page Down" "112:2:p" \
    "109:2:m" "116:2:t" "113:1:q"; do
    IFS=: read -r code times name <<<"$entry"
    count=$(acted "$code")
    [[ $count -eq $times ]] || fail "$name acted $count times, not $times"
done
# What the keys did.
[[ $(grep -c '^seek ' "$work/live.log") -ge 3 ]] || fail "Right and Page Down did not both seek"
grep -q '^pause ' "$work/live.log" || fail "p did not pause"
grep -q '^resume ' "$work/live.log" || fail "p did not resume"
[[ "$(grep '^volume ' "$work/live.log" | awk '{print $3}' | tr '\n' ' ')" == "0 255 " ]] ||
    fail "m twice did not mute and give the volume back"
grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2},[0-9]{3} - ' "$work/err" || fail "Space printed no time report"
grep -q '^## ERROR' "$work/err" && fail "the demo printed an error"

if [[ $check_sync == yes ]]; then
    "$root/scripts/sync-report.py" "$work/live.log" --check || fail "the music is not locked to the pictures"
else
    "$root/scripts/sync-report.py" "$work/live.log" || true
fi

if [[ $failures -gt 0 ]]; then
    echo "--- demo output" >&2
    tail -n 30 "$work/out" "$work/err" >&2
    exit 1
fi
echo "live play: every key acted, status 0"
