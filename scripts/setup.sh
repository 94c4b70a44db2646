#!/usr/bin/env bash
# Installs whatever the build and the tests need that this Debian machine lacks,
# then configures and builds. Safe to run again: present packages are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake pkg-config g++ libirrlicht-dev libbullet-dev libsdl2-dev libmpg123-dev
          libkissfft-dev libgtest-dev libmp3lame-dev libzip-dev libpng-dev libjpeg-dev
          xvfb xauth x11-utils libgl1-mesa-dri xdotool ffmpeg valgrind
          libebur128-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >&2
fi

build_type=${BUILD_TYPE:-Release}
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build build -j"$(nproc)"
