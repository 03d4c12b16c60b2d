#!/usr/bin/env bash
# Builds the tests and runs the long run: the whole demo three times in a row on the fixed step
# at a small size, checking resident memory, the render-target pool and OpenGL errors.
#   scripts/long-run.sh [--fps N] [--size WxH] [--from MARK|MS] [--to MARK|MS] [--slack-mb N]
# Defaults: 30 fps, 320x180, "s00" to "quit", 8 MiB of growth allowed after the first pass.
# BUILD_DIR picks the build folder (default build/; a sanitizer build works too).
set -euo pipefail
cd "$(dirname "$0")/.."

export VANTOR_LONG_RUN=1
while [[ $# -gt 0 ]]; do
    case "$1" in
        --fps) export VANTOR_LONG_RUN_FPS=$2 ;;
        --size) export VANTOR_LONG_RUN_SIZE=$2 ;;
        --from) export VANTOR_LONG_RUN_FROM=$2 ;;
        --to) export VANTOR_LONG_RUN_TO=$2 ;;
        --slack-mb) export VANTOR_LONG_RUN_SLACK_MB=$2 ;;
        -h | --help)
            sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        *)
            echo "long-run.sh: unknown option \"$1\"" >&2
            exit 2
            ;;
    esac
    [[ $# -ge 2 ]] || { echo "long-run.sh: $1 needs a value" >&2; exit 2; }
    shift 2
done

build_dir=${BUILD_DIR:-build}
scripts/install-deps.sh
if [[ ! -f $build_dir/CMakeCache.txt ]]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)" --target whole_demo_test

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
cd "$build_dir"
exec tests/whole_demo_test --gtest_filter='LongRun.*'
