#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, and only those missing.
#   scripts/install-deps.sh          the build, the demo and the tests
#   scripts/install-deps.sh --fuzz   also clang and libFuzzer (scripts/fuzz.sh)
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    libsdl2-dev libdevil-dev zlib1g-dev
    libgl1-mesa-dev libglu1-mesa-dev libegl-mesa0 libgl1-mesa-dri
    libmpg123-dev libmp3lame-dev libopenmpt-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    ffmpeg
    sox python3-numpy # scripts/analyze-song.sh
    xvfb xdotool xauth python3
)
if [[ ${1:-} == --fuzz ]]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "# installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
