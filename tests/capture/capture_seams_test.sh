#!/usr/bin/env bash
# Seams of a capture split into chunks: for every boundary X, chunk A = [X - 3 frames, X) and
# chunk B = [X, X + 3 frames), each captured by a process of its own, must give PNG files equal
# byte for byte to the same frames of one capture from 0 ms, as the whole demo's. The
# boundaries sit inside layers, where scenes carry state from earlier frames.
#   tests/capture/capture_seams_test.sh GLIMMERFALL [BOUNDARY_MS ...]
# Without boundaries it checks a few with short pre-rolls; SEAMS_FPS (a divisor of 1000) and
# SEAMS_SIZE choose the frames, SEAMS_ARGS adds options to every capture.
set -uo pipefail
exe=$1
shift
fps=${SEAMS_FPS:-10}
size=${SEAMS_SIZE:-160x92}
boundaries=("$@")
# In the first attractor; the mandala's start over the flower field; the tunnel over the
# particles; the mushrooms' spores after the particles drew from the same random table.
[[ ${#boundaries[@]} -gt 0 ]] || boundaries=(1500 38500 53500 90000)
step=$((1000 / fps)) # with fps dividing 1000 the grid is whole ms
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

failures=0
capture() { # OUT FROM TO
    # shellcheck disable=SC2086
    if ! "$exe" --capture "$work/$1" --size "$size" --fps "$fps" --from "$2" --to "$3" --mute \
        ${SEAMS_ARGS:-} >"$work/$1.log" 2>&1; then
        echo "FAILED: capture $2..$3 ms:" >&2
        tail -5 "$work/$1.log" >&2
        failures=$((failures + 1))
        return 1
    fi
}

last=$(printf '%s\n' "${boundaries[@]}" | sort -n | tail -1)
capture whole 0 $((last + 3 * step)) || exit 1
for x in "${boundaries[@]}"; do
    a=$((x - 3 * step)) b=$((x + 3 * step))
    capture "a$x" "$a" "$x" && capture "b$x" "$x" "$b" || continue
    for k in 0 1 2 3 4 5; do
        chunk=a$x index=$k
        ((k >= 3)) && chunk=b$x index=$((k - 3))
        got=$(printf '%s/frame_%06d.png' "$work/$chunk" "$index")
        want=$(printf '%s/frame_%06d.png' "$work/whole" $((a / step + k)))
        if ! cmp -s "$got" "$want"; then
            echo "FAILED: seam at $x ms: frame at $((a + k * step)) ms ($chunk) differs from" \
                "the capture from 0 ms" >&2
            failures=$((failures + 1))
        fi
    done
done
[[ $failures -eq 0 ]] && echo "seams equal at ${boundaries[*]} ms"
exit $((failures > 0))
