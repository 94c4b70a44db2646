#!/usr/bin/env bash
# Builds the libraries the Linux release links into a prefix outside the tree and prints
# that prefix's path on standard output (progress goes to standard error):
#
#   ${PELOMVIN_CACHE:-~/.cache/pelomvin}/linux-x86_64-KEY
#
# KEY follows the pinned source versions, the system static libraries' versions, the
# compiler and this recipe's revision, so a prefix once complete is reused as it is. The
# release runs it in a Debian 11 root (scripts/release.sh), so that nothing in the prefix asks
# for a glibc newer than 2.31. Two builds of one KEY give the same bytes: build paths are
# made relative, and tools that stamp a time take a fixed SOURCE_DATE_EPOCH.
#
# What the prefix holds, and why:
#   Irrlicht 1.8.5   static; Debian's source has its bundled zlib, libpng and libjpeg
#                    removed, so it links the -dev packages' static libz, libpng16 and
#                    libjpeg; bzip2 and the zip archives' AES encryption are left out (data.lll
#                    holds only stored and deflated entries, unencrypted)
#   Bullet 3.24      static, single precision as Debian builds it; only BulletDynamics,
#                    BulletCollision and LinearMath: the show includes btBulletDynamicsCommon.h
#                    and nothing of BulletSoftBody, the fourth library pkg-config lists
#   SDL2 2.26.5      static; the show asks SDL for sound only (Irrlicht opens the window), so
#                    SDL's video, render, joystick and input-method parts are left out, and its
#                    sound back ends (ALSA, PulseAudio, sndio, and PipeWire where the build
#                    system's headers are new enough: Debian 11's are not, and its desktops
#                    reach PipeWire through PipeWire's PulseAudio server) are opened at run
#                    time with dlopen: none of them is a link-time dependency
#   kissfft 131      static, float
#   mpg123 1.31.2    shared (LGPL): libmpg123.so.0, carried beside the program; built from
#                    Debian's source with no output modules, so it needs only libc and libm;
#                    the source package and the commands that built it go in source/mpg123
#   Xxf86vm, Xext    the -dev packages' static libraries (Irrlicht's mode switch)
# plus licenses/ (each library's licence text) and versions.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
. "$here/scripts/lib/packages.sh"
[ "${1-}" = --help ] || [ "${1-}" = -h ] && { sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0; }
[ $# -eq 0 ] || { echo "usage: $0 [--help]" >&2; exit 2; }

# Bumped whenever the build steps below change what lands in the prefix.
recipe=3
# NAME=VERSION=SHA256 of the .dsc: Debian 12's source packages.
sources=(
    irrlicht=1.8.5+ds2-1=245dfd17601f851a64b4bb7c3b9143aaf6f364ebca8a840271146c02fdec138e
    bullet=3.24+dfsg-2=ce142e57647b58d72a976d5dd1612da8e305fe7374a356db474c21af271498c3
    libsdl2=2.26.5+dfsg-1=95b9a18130d98164e7856eca8ac1a2eb65d822ac4872ef8862ceed2cb1662136
    mpg123=1.31.2-1+deb12u1=a67b2daf33ecf2d2a720e0cd721ac44828f1edee644abac34d8022819abbbb1a
    kissfft=131.1.0-4.1~deb12u1=f1127030755a796521f8f0977f448a5c450d00e743cf316333c3bc860e137eb2
)
# Static libraries taken from Debian's -dev packages: package, library file, licence package.
system_static=(
    "zlib1g-dev libz.a zlib1g"
    "libpng-dev libpng16.a libpng16-16"
    "libjpeg62-turbo-dev libjpeg.a libjpeg62-turbo"
    "libxxf86vm-dev libXxf86vm.a libxxf86vm1"
    "libxext-dev libXext.a libxext6"
)
# What building needs (headers of the sound back ends SDL loads at run time included).
build_packages=(build-essential cmake pkg-config dpkg-dev libx11-dev libgl-dev libxext-dev
                libxxf86vm-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev libasound2-dev
                libpulse-dev libpipewire-0.3-dev libsndio-dev)

install_missing "${build_packages[@]}"
# SDL 2.26's PipeWire back end wants PipeWire's headers from 0.3.20 on.
pipewire=""
if pkg-config --atleast-version=0.3.20 libpipewire-0.3 2>/dev/null; then pipewire=yes; fi
gcc_major=$(gcc -dumpversion | cut -d. -f1)

multiarch=$(gcc -print-multiarch)
sysver() { dpkg-query -W -f='${Version}' "$1:amd64" 2>/dev/null || dpkg-query -W -f='${Version}' "$1"; }
key_text="recipe=$recipe
pipewire=${pipewire:-no}
$(printf '%s\n' "${sources[@]}")
$(for s in "${system_static[@]}"; do set -- $s; echo "$1=$(sysver "$1")"; done)
$(gcc --version | head -n 1)"
key=$(sha256sum <<<"$key_text" | cut -c1-12)
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
prefix=$cache/linux-x86_64-$key
mkdir -p "$cache"
# One build of a prefix at a time: a second release waits for the first.
exec 9>"$prefix.lock"
if ! flock -n 9; then
    echo "Linux libraries: another build of $prefix is running; waiting for it" >&2
    flock 9
fi
if [ -f "$prefix/versions.txt" ]; then
    echo "Linux libraries: cached in $prefix" >&2
    echo "$prefix"
    exit 0
fi

partial=$prefix.partial
work=$cache/work/linux-x86_64-$key
mkdir -p "$partial"/{lib,include,licenses} "$work/logs"
jobs=${JOBS:-2}
# The build folders' paths are nobody's business in the libraries: file names stay relative.
prefix_map="-ffile-prefix-map=$work/="
export CFLAGS="-O2 $prefix_map" CXXFLAGS="-O2 $prefix_map" SOURCE_DATE_EPOCH=1700000000
started=$(date +%s)

# A build step in the background ends with this script, whatever ends it.
step_pid=""
stop_step() {
    [ -n "$step_pid" ] || return 0
    pkill -TERM -g "$(ps -o pgid= "$step_pid" | tr -d ' ')" 2>/dev/null || kill "$step_pid" 2>/dev/null || true
    wait "$step_pid" 2>/dev/null || true
}
trap stop_step EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a long step with its output in a log; on a terminal one line counts the seconds,
# into a pipe or file a plain line every 30 seconds. On failure the log's end is shown.
run_logged() {
    local name=$1 log=$work/logs/$1.log start=$SECONDS status=0
    shift
    # A process group of its own, so that stopping it stops make, the compilers and all.
    set -m
    ("$@") >"$log" 2>&1 &
    step_pid=$!
    set +m
    local last=0
    while kill -0 "$step_pid" 2>/dev/null; do
        sleep 1
        local t=$((SECONDS - start))
        if [ -t 2 ]; then
            printf '\r  %s: %d s, %d lines of log' "$name" "$t" "$(wc -l <"$log")" >&2
        elif [ $((t - last)) -ge 30 ]; then
            echo "  $name: ${t} s" >&2
            last=$t
        fi
    done
    wait "$step_pid" || status=$?
    step_pid=""
    [ -t 2 ] && printf '\r\033[K' >&2
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log" >&2
        echo "error: $name failed (status $status); the whole log is $log" >&2
        exit 1
    fi
    echo "  $name: done in $((SECONDS - start)) s" >&2
}

# Each library's step leaves a stamp in the partial prefix: an interrupted run resumes.
step() {
    local name=$1
    shift
    if [ -f "$partial/.done-$name" ]; then
        echo "  $name: already built" >&2
        return
    fi
    "$@"
    touch "$partial/.done-$name"
}

licence() { # LIBRARY FILE... : the licence texts, under licenses/LIBRARY/; each must be there
    local lib=$1
    shift
    mkdir -p "$partial/licenses/$lib"
    local f
    for f in "$@"; do
        [ -f "$f" ] || { echo "error: the licence text $f of $lib is missing" >&2; return 1; }
        cp "$f" "$partial/licenses/$lib/$(basename "$f")"
    done
}

src=$work/src
fetch() {
    rm -rf "$src"
    mkdir -p "$src"
    "$here/scripts/release/fetch-debian-source.sh" "$src" "${sources[@]}"
}

build_kissfft() {
    local d=$src/kissfft b=$work/kissfft
    rm -rf "$b" && mkdir -p "$b" "$partial/include/kissfft"
    gcc $CFLAGS -Dkiss_fft_scalar=float -c "$d/kiss_fft.c" -o "$b/kiss_fft.o"
    gcc $CFLAGS -Dkiss_fft_scalar=float -c "$d/kiss_fftr.c" -o "$b/kiss_fftr.o"
    rm -f "$partial/lib/libkissfft-float.a"
    ar rcsD "$partial/lib/libkissfft-float.a" "$b/kiss_fft.o" "$b/kiss_fftr.o"
    cp "$d/kiss_fft.h" "$d/kiss_fftr.h" "$partial/include/kissfft/"
    licence kissfft "$d/COPYING" "$d"/LICENSES/* "$d/debian/copyright"
}

build_mpg123() {
    local d=$src/mpg123 b=$work/mpg123 stage=$work/mpg123-stage pin
    local configure=(--prefix=/usr/local --enable-static=no --enable-shared --enable-lfs-alias
                     --with-audio=dummy --enable-modules=no --disable-dependency-tracking)
    pin=$(printf '%s\n' "${sources[@]}" | grep '^mpg123=')
    rm -rf "$b" "$stage" && mkdir -p "$b"
    cd "$b"
    "$d/configure" "${configure[@]}"
    make -j"$jobs"
    make install DESTDIR="$stage"
    cp -a "$stage"/usr/local/lib/libmpg123.so* "$partial/lib/"
    cp "$stage/usr/local/include/mpg123.h" "$stage/usr/local/include/fmt123.h" "$partial/include/"
    licence mpg123 "$d/COPYING" "$d/debian/copyright"
    # The LGPL asks for the library's source to go with it: Debian's source package as it was
    # built, and how it was built.
    mkdir -p "$partial/source/mpg123"
    "$here/scripts/release/fetch-debian-source.sh" --files "$partial/source/mpg123" "$pin"
    {
        echo "libmpg123.so.0 was built from Debian's source package mpg123 $(cut -d= -f2 <<<"$pin"),"
        echo "whose files are in this folder, on $(. /etc/os-release && echo "$PRETTY_NAME") with"
        echo "$(gcc --version | head -n 1):"
        echo
        echo "  dpkg-source -x mpg123_*.dsc mpg123"
        echo "  cd mpg123"
        echo "  CFLAGS=-O2 ./configure ${configure[*]}"
        echo "  make && make install"
        echo "  strip --strip-unneeded /usr/local/lib/libmpg123.so.0"
        echo
        echo "A library built so from these files, or a newer mpg123 with the same interface,"
        echo "can take the place of the libmpg123.so.0 beside the programs."
    } >"$partial/source/mpg123/BUILD.txt"
}

build_bullet() {
    local d=$src/bullet b=$work/bullet
    rm -rf "$b"
    cmake -S "$d" -B "$b" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG $prefix_map" \
        -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG $prefix_map" -DBUILD_SHARED_LIBS=OFF \
        -DUSE_DOUBLE_PRECISION=OFF -DBUILD_EXTRAS=OFF -DBUILD_BULLET2_DEMOS=OFF \
        -DBUILD_OPENGL3_DEMOS=OFF -DBUILD_CPU_DEMOS=OFF -DBUILD_UNIT_TESTS=OFF \
        -DBUILD_PYBULLET=OFF -DINSTALL_LIBS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON
    cmake --build "$b" -j"$jobs" --target BulletDynamics BulletCollision LinearMath
    local lib
    for lib in BulletDynamics BulletCollision LinearMath; do
        cp "$b/src/$lib/lib$lib.a" "$partial/lib/"
    done
    mkdir -p "$partial/include/bullet"
    (cd "$d/src" && find . -name '*.h' -exec cp --parents {} "$partial/include/bullet/" \;)
    licence bullet "$d/LICENSE.txt" "$d/debian/copyright"
}

build_sdl2() {
    local d=$src/libsdl2 b=$work/sdl2 backends=(ALSA PULSEAUDIO SNDIO) pipewire_flags
    pipewire_flags=(--disable-pipewire)
    if [ -n "$pipewire" ]; then
        pipewire_flags=(--enable-pipewire --enable-pipewire-shared)
        backends+=(PIPEWIRE)
    fi
    # Debian 11's sndio has no pkg-config file; its library is where the compiler looks.
    if ! pkg-config --exists sndio; then
        export SNDIO_CFLAGS="-I/usr/include" SNDIO_LIBS="-lsndio"
    fi
    rm -rf "$b" && mkdir -p "$b"
    cd "$b"
    "$d/configure" --prefix="$partial" --disable-shared --enable-static --disable-rpath \
        --disable-video --disable-render --disable-joystick --disable-haptic --disable-hidapi \
        --disable-sensor --disable-dbus --disable-ibus --disable-fcitx --disable-libudev \
        --disable-libdecor --disable-libsamplerate \
        --enable-audio --enable-alsa --enable-alsa-shared --enable-pulseaudio \
        --enable-pulseaudio-shared --enable-sndio --enable-sndio-shared "${pipewire_flags[@]}" \
        --disable-jack --disable-esd --disable-arts --disable-nas \
        --disable-fusionsound --enable-diskaudio --enable-dummyaudio
    make -j"$jobs"
    make install
    # Each back end SDL may use must be one it opens itself, never one the program links.
    local dynamic backend
    dynamic=$(grep -E '^#define SDL_AUDIO_DRIVER_[A-Z]+_DYNAMIC ' "$partial/include/SDL2/SDL_config.h" || true)
    for backend in "${backends[@]}"; do
        grep -q "SDL_AUDIO_DRIVER_${backend}_DYNAMIC " <<<"$dynamic" ||
            { echo "SDL's $backend back end is not loaded at run time" >&2; return 1; }
    done
    licence sdl2 "$d/LICENSE.txt" "$d/debian/copyright"
}

build_irrlicht() {
    local d=$src/irrlicht
    make -C "$d/source/Irrlicht" clean >/dev/null 2>&1 || true
    # The Makefile appends its own -O3 and include paths to these. Without the AES code
    # (LIBAESGM empty): the show's archive is not encrypted.
    CPPFLAGS="-DNO_IRR_COMPILE_WITH_BZIP2_ -DNO_IRR_COMPILE_WITH_ZIP_ENCRYPTION_" \
        CXXFLAGS="-O2 $prefix_map" CFLAGS="-O2 $prefix_map" \
        make -C "$d/source/Irrlicht" -j"$jobs" NDEBUG=1 LIBAESGM= staticlib
    if ar t "$d/source/Irrlicht/libIrrlicht.a" | grep -qi aes; then
        echo "Irrlicht still holds the AES code" >&2
        return 1
    fi
    cp "$d/source/Irrlicht/libIrrlicht.a" "$partial/lib/"
    mkdir -p "$partial/include/irrlicht"
    cp "$d"/include/*.h "$partial/include/irrlicht/"
    licence irrlicht "$d/doc/irrlicht-license.txt" "$d/debian/copyright"
}

system_libs() {
    local s pkg file doc
    for s in "${system_static[@]}"; do
        read -r pkg file doc <<<"$s"
        cp "/usr/lib/$multiarch/$file" "$partial/lib/"
        licence "${doc}" "/usr/share/doc/$doc/copyright"
    done
    # The headers a program needs to use libpng and zlib from this prefix (demo-capture).
    cp /usr/include/zlib.h /usr/include/zconf.h "$partial/include/"
    cp -L /usr/include/png.h /usr/include/pngconf.h /usr/include/pnglibconf.h "$partial/include/"
    # libstdc++ and libgcc are linked statically: the GCC runtime licence (with its exception).
    licence gcc-runtime "/usr/share/doc/gcc-$gcc_major-base/copyright"
}

versions() {
    local v=() s pkg file doc
    for s in "${sources[@]}"; do v+=("$(cut -d= -f2 <<<"$s")"); done
    {
        echo "Irrlicht 1.8.5: static, without bzip2 and zip encryption (Debian source ${v[0]})"
        echo "Bullet 3.24: static, BulletDynamics, BulletCollision, LinearMath (Debian source ${v[1]})"
        echo "SDL2 2.26.5: static, sound back ends opened at run time: ALSA, PulseAudio, sndio${pipewire:+, PipeWire} (Debian source ${v[2]})"
        echo "mpg123 1.31.2: shared, libmpg123.so.0; its source is in source/mpg123 (Debian source ${v[3]})"
        echo "kissfft 131.1.0: static, float (Debian source ${v[4]})"
        for s in "${system_static[@]}"; do
            read -r pkg file doc <<<"$s"
            echo "${file%.a}: static (Debian $pkg $(sysver "$pkg"))"
        done
        echo "libstdc++, libgcc: static ($(gcc --version | head -n 1))"
    } >"$partial/versions.txt.tmp"
}

echo "Linux libraries: building into $prefix (key $key; sources, then 5 libraries)" >&2
step fetch fetch
step kissfft run_logged "kissfft 131.1.0" build_kissfft
step mpg123 run_logged "mpg123 1.31.2" build_mpg123
step bullet run_logged "Bullet 3.24" build_bullet
step sdl2 run_logged "SDL2 2.26.5" build_sdl2
step irrlicht run_logged "Irrlicht 1.8.5" build_irrlicht
step system run_logged "static X11 extension, zlib, libpng and libjpeg libraries" system_libs
versions
rm -f "$partial"/.done-*
# SDL's install leaves scripts and documentation the release never uses.
rm -rf "$partial/share/aclocal" "$partial/bin"
echo "$key_text" >"$partial/key.txt"
mv "$partial/versions.txt.tmp" "$partial/versions.txt"
rm -rf "$prefix"
mv "$partial" "$prefix"
rm -rf "$work"
echo "Linux libraries: built in $(($(date +%s) - started)) s into $prefix" >&2
echo "$prefix"
