#!/usr/bin/env bash
# Installs whatever the build and the tests need that this Debian machine lacks,
# then configures and builds. Safe to run again: present packages are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh

packages=(cmake pkg-config g++ libirrlicht-dev libbullet-dev libsdl2-dev libmpg123-dev
          libkissfft-dev libgtest-dev libmp3lame-dev libzip-dev libpng-dev libjpeg-dev
          xvfb xauth x11-utils libgl1-mesa-dri xdotool ffmpeg valgrind
          libebur128-dev)
install_missing "${packages[@]}"

build_type=${BUILD_TYPE:-Release}
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build build -j"$(nproc)"
