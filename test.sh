#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless with ctest.
#   ./test.sh             the normal build in build/
#   ./test.sh --sanitize  the whole suite under AddressSanitizer and UBSan, in build-asan/
# BUILD_DIR overrides the build folder, JOBS the number of parallel jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DVANTOR_BUILD_TESTS=ON)
for arg in "$@"; do
    case "$arg" in
        --sanitize)
            build_dir=build-asan
            cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_SANITIZE=ON -DVANTOR_BUILD_TESTS=ON)
            ;;
        *)
            echo "usage: ./test.sh [--sanitize]" >&2
            exit 2
            ;;
    esac
done

build_dir=${BUILD_DIR:-$build_dir}
scripts/install-deps.sh
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B "$build_dir" "${cmake_args[@]}"
cmake --build "$build_dir" -j "$jobs"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd "$build_dir"
# A tree without tests is a failure, not a pass.
ctest --output-on-failure --no-tests=error -j "$jobs"
