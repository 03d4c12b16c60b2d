#!/usr/bin/env bash
# Installs what is missing, builds and plays the demo. Arguments go to the demo
# (./run.sh --windowed, ./run.sh --help).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVANTOR_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$jobs" --target glimmerfall

exec build/glimmerfall "$@"
