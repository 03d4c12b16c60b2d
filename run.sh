#!/usr/bin/env bash
# Installs what is missing, builds and plays the demo. Arguments go to the demo
# (./run.sh --windowed, ./run.sh --help). On a machine without a display the demo is rendered
# to glimmerfall.mp4 instead (./run.sh --start s05 then renders from s05 on).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
# Only the demo is built; the tests stay configured, so ./test.sh can follow in the same tree.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs" --target glimmerfall

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
    offline=no
    for arg in "$@"; do
        case "$arg" in
            --capture | --capture=* | --benchmark | --benchmark-json | --benchmark-json=* | --help | -h)
                offline=yes
                ;;
        esac
    done
    if [[ $offline == no ]]; then
        echo "# No display (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering the demo to" \
            "glimmerfall.mp4 instead of playing it."
        exec build/glimmerfall --capture glimmerfall.mp4 "$@"
    fi
fi
exec build/glimmerfall "$@"
