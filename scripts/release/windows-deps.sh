#!/usr/bin/env bash
# Builds, for 64-bit Windows, every library the show links, from Debian's own source packages
# cross-compiled with Debian's MinGW-w64, into a cache outside the tree:
#
#   ${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}/windows-x64-<key>
#
# The key is made of the pinned versions below, the recipe's revision and the compiler's
# version, so a second run with nothing changed only checks the cache; a library already built
# there is skipped. Prints the prefix's path as its last line on standard output.
#
# Sources come through fetch-debian-source.sh: a private sources list and lists folder under
# the cache, so the machine's apt configuration is never touched; each .dsc is checked against
# its pinned SHA-256 and every file it names against the .dsc's sums before it is unpacked.
#
# Static: Irrlicht (with libpng, libjpeg-turbo and zlib; without bzip2 and the zip archives'
# AES encryption), Bullet's four libraries, SDL2 (with WASAPI). Shared: mpg123 (LGPL, so a
# viewer can swap it), libmpg123-0.dll in bin/, with its source package and the commands that
# built it in source/mpg123. kissfft's sources are kept in src/kissfft and compiled into the
# show (cmake/deps_windows.cmake). Two builds of one key give the same bytes: build paths are
# made relative, the DLL carries no link time, and tools that stamp a time take a
# fixed SOURCE_DATE_EPOCH.
#
# Usage: scripts/release/windows-deps.sh
set -euo pipefail

case "${1:-}" in
-h | --help)
    sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
"") ;;
*)
    echo "windows-deps.sh: unknown option '$1' (try --help)" >&2
    exit 2
    ;;
esac

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
TRIPLE=x86_64-w64-mingw32

# Debian 12's versions. libpng1.6's newest security upload (+deb12u6) has no .dsc on the
# mirror, so the point release's is taken; mpg123's upstream signature (.orig.tar.bz2.asc) is
# missing there too, which the fetcher allows for signatures only.
PINS=(
    "irrlicht 1.8.5+ds2-1"
    "bullet 3.24+dfsg-2"
    "libsdl2 2.26.5+dfsg-1"
    "mpg123 1.31.2-1+deb12u1"
    "libpng1.6 1.6.39-2+deb12u5"
    "libjpeg-turbo 1:2.1.5-2"
    "kissfft 131.1.0-4.1~deb12u1"
)
# The SHA-256 of each pinned .dsc: apt checks the .dsc against Debian's signed index, this
# pins it, and the .dsc's own sums pin every file it names.
DSC_SUMS=(
    "irrlicht 245dfd17601f851a64b4bb7c3b9143aaf6f364ebca8a840271146c02fdec138e"
    "bullet ce142e57647b58d72a976d5dd1612da8e305fe7374a356db474c21af271498c3"
    "libsdl2 95b9a18130d98164e7856eca8ac1a2eb65d822ac4872ef8862ceed2cb1662136"
    "mpg123 a67b2daf33ecf2d2a720e0cd721ac44828f1edee644abac34d8022819abbbb1a"
    "libpng1.6 7b86211030a34deb6b0a2cd7e1d9db0fe92443fd30cab537fb89b1e7f7c9f188"
    "libjpeg-turbo d718ead0dfbcbc8523665c02a7f7152e31039ded641d022868722623bb3b486d"
    "kissfft f1127030755a796521f8f0977f448a5c450d00e743cf316333c3bc860e137eb2"
)
# Bump when the way a library is built changes, so the cache is rebuilt.
RECIPE=3

CACHE="${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}"
JOBS="${PELOMVIN_JOBS:-2}"

say() { echo "[windows-deps] $*" >&2; }
die() {
    echo "windows-deps: $*" >&2
    exit 1
}

# --- the toolchain, from Debian ---------------------------------------------------------------
need_pkgs=()
command -v ${TRIPLE}-g++-posix >/dev/null || need_pkgs+=(g++-mingw-w64-x86-64-posix)
[ -f /usr/${TRIPLE}/lib/libz.a ] || need_pkgs+=(libz-mingw-w64-dev)
command -v dpkg-source >/dev/null || need_pkgs+=(dpkg-dev)
command -v cmake >/dev/null || need_pkgs+=(cmake)
command -v make >/dev/null || need_pkgs+=(make)
command -v xz >/dev/null || need_pkgs+=(xz-utils)
command -v bzip2 >/dev/null || need_pkgs+=(bzip2)
if [ ${#need_pkgs[@]} -gt 0 ]; then
    say "installing ${need_pkgs[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${need_pkgs[@]}" >&2 || die "could not install ${need_pkgs[*]}"
fi
CC=${TRIPLE}-gcc-posix
CXX=${TRIPLE}-g++-posix
# zlib comes from Debian's libz-mingw-w64-dev; its version goes into the key too.
ZLIB_VERSION="$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null || echo unknown)"
GCC_VERSION="$($CXX -dumpfullversion 2>/dev/null || $CXX -dumpversion)"

KEY="$(printf '%s\n' "${PINS[@]}" "zlib $ZLIB_VERSION" "gcc $GCC_VERSION" "recipe $RECIPE" |
    sha256sum | cut -c1-12)"
PREFIX="$CACHE/windows-x64-$KEY"
WORK="$CACHE/work-windows-x64-$KEY"
mkdir -p "$CACHE"
# One build of a prefix at a time: a second release waits for the first.
exec 9>"$PREFIX.lock"
if ! flock -n 9; then
    say "another build of $PREFIX is running; waiting for it"
    flock 9
fi
mkdir -p "$PREFIX"/{include,lib,bin,licenses,src} "$PREFIX/.built" "$WORK"
{
    printf '%s\n' "${PINS[@]}"
    echo "zlib (libz-mingw-w64-dev) $ZLIB_VERSION"
    echo "gcc $GCC_VERSION ($CXX)"
} >"$PREFIX/versions.txt"

NICE="nice -n 10"
export CC CXX
# The build folders' paths stay out of the libraries, and the time is a fixed one.
PREFIX_MAP="-ffile-prefix-map=$WORK/="
export CFLAGS="$PREFIX_MAP" CXXFLAGS="$PREFIX_MAP" SOURCE_DATE_EPOCH=1700000000

# A build step in the background ends with this script, whatever ends it.
STEP_PID=""
stop_step() {
    [ -n "$STEP_PID" ] || return 0
    pkill -TERM -g "$(ps -o pgid= "$STEP_PID" | tr -d ' ')" 2>/dev/null || kill "$STEP_PID" 2>/dev/null || true
    wait "$STEP_PID" 2>/dev/null || true
}
trap stop_step EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a long command with its output in a log, showing that it is alive: one redrawn line on
# a terminal, a plain line every 30 s otherwise. On failure, the log's end.
run_logged() {
    local what="$1" log="$2"
    shift 2
    local start=$SECONDS
    # A process group of its own, so that stopping it stops make and the compilers too.
    set -m
    ("$@") >>"$log" 2>&1 &
    STEP_PID=$!
    set +m
    local pid=$STEP_PID last=0
    while kill -0 "$pid" 2>/dev/null; do
        sleep 2
        local took=$((SECONDS - start))
        if [ -t 2 ]; then
            printf '\r[windows-deps] %s ... %dm%02ds' "$what" $((took / 60)) $((took % 60)) >&2
        elif [ $((took - last)) -ge 30 ]; then
            last=$took
            say "$what ... ${took}s"
        fi
    done
    local status=0
    wait "$pid" || status=$?
    STEP_PID=""
    [ -t 2 ] && printf '\r\033[K' >&2
    if [ $status -ne 0 ]; then
        tail -n 30 "$log" >&2
        die "$what failed (status $status); the whole log is $log"
    fi
    say "$what: done in $((SECONDS - start)) s"
}

# --- sources ------------------------------------------------------------------------------------
# Fetched, checked against the pinned .dsc and unpacked with Debian's patches by the fetcher
# the Linux release shares (private apt lists, the machine's apt left alone).
fetch_source() { # package version
    "$ROOT/scripts/release/fetch-debian-source.sh" "$WORK" "$1=$2=$(dsc_sum_of "$1")" >&2
}

dsc_sum_of() {
    local p
    for p in "${DSC_SUMS[@]}"; do
        [ "${p%% *}" = "$1" ] && {
            echo "${p#* }"
            return
        }
    done
    die "no .dsc sum for $1"
}

pin_of() {
    local p
    for p in "${PINS[@]}"; do
        [ "${p%% *}" = "$1" ] && {
            echo "${p#* }"
            return
        }
    done
    die "no pin for $1"
}

licence() { # library, files...: each must be there
    local lib="$1" f
    shift
    mkdir -p "$PREFIX/licenses/$lib"
    for f in "$@"; do
        [ -f "$f" ] || die "the licence text $f of $lib is missing"
        cp "$f" "$PREFIX/licenses/$lib/"
    done
}

cmake_build() { # source dir, build dir, targets (space separated, or "install"), cmake args...
    local src="$1" build="$2" targets="$3"
    shift 3
    $NICE cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release "$@"
    if [ "$targets" = install ]; then
        $NICE cmake --build "$build" -j "$JOBS"
        cmake --install "$build"
    else
        # shellcheck disable=SC2086
        $NICE cmake --build "$build" -j "$JOBS" --target $targets
    fi
}

STEPS=(zlib libjpeg-turbo libpng1.6 libsdl2 mpg123 bullet irrlicht kissfft)
step_no=0
started=$SECONDS
built_any=0

for step in "${STEPS[@]}"; do
    step_no=$((step_no + 1))
    label="($step_no/${#STEPS[@]}) $step"
    if [ -f "$PREFIX/.built/$step" ]; then
        say "$label: cached"
        continue
    fi
    built_any=1
    log="$WORK/$step.log"
    : >"$log"
    case "$step" in
    zlib)
        # Debian's MinGW build; linked by its full path so the DLL import library is never
        # picked.
        cp /usr/${TRIPLE}/include/zlib.h /usr/${TRIPLE}/include/zconf.h "$PREFIX/include/"
        cp /usr/${TRIPLE}/lib/libz.a "$PREFIX/lib/libz.a"
        licence zlib /usr/share/doc/libz-mingw-w64-dev/copyright
        ;;
    libjpeg-turbo)
        fetch_source "$step" "$(pin_of "$step")"
        build() {
            cmake_build "$WORK/$step" "$WORK/$step-build" jpeg-static \
                -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
            cp "$WORK/$step-build/libjpeg.a" "$PREFIX/lib/libjpeg.a"
            cp "$WORK/$step-build/jconfig.h" "$WORK/$step/jpeglib.h" "$WORK/$step/jmorecfg.h" \
                "$WORK/$step/jerror.h" "$PREFIX/include/"
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence libjpeg-turbo "$WORK/$step/LICENSE.md" "$WORK/$step/README.ijg" \
            "$WORK/$step/debian/copyright"
        ;;
    libpng1.6)
        fetch_source "$step" "$(pin_of "$step")"
        build() {
            cmake_build "$WORK/$step" "$WORK/$step-build" install \
                -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
                -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a"
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence libpng "$WORK/$step/LICENSE" "$WORK/$step/debian/copyright"
        ;;
    libsdl2)
        fetch_source "$step" "$(pin_of "$step")"
        # Only sound is SDL's in the show (the window is Irrlicht's), so most of the rest stays
        # out. Video stays in: SDL 2.26's dynamic API table names its Windows video functions,
        # and a static SDL without them does not link.
        build() {
            cmake_build "$WORK/$step" "$WORK/$step-build" install \
                -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_WASAPI=ON \
                -DSDL_DIRECTX=ON -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF \
                -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence SDL2 "$WORK/$step/LICENSE.txt" "$WORK/$step/debian/copyright"
        ;;
    mpg123)
        fetch_source "$step" "$(pin_of "$step")"
        # The decoder set is configure's default for x86-64, as in Debian's amd64 build, so
        # both pick the same decoder at run time and the spectrum sees the same samples.
        # configure's own default flags (-g -O2), as before, so the decoder does the same sums;
        # the DLL gets no link time in its header.
        MPG123_CONFIGURE=(--host=$TRIPLE --prefix=/usr/local --enable-shared --disable-static
                          --with-audio=dummy --with-default-audio=dummy --disable-modules
                          --disable-network --enable-lfs-alias=no)
        build() {
            mkdir -p "$WORK/$step-build"
            cd "$WORK/$step-build"
            CFLAGS="-g -O2 $PREFIX_MAP" LDFLAGS="-Wl,--no-insert-timestamp" \
                $NICE "$WORK/$step/configure" "${MPG123_CONFIGURE[@]}"
            $NICE make -j "$JOBS"
            make install DESTDIR="$WORK/$step-stage"
            cp -R "$WORK/$step-stage/usr/local/." "$PREFIX/"
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence mpg123 "$WORK/$step/COPYING" "$WORK/$step/debian/copyright"
        # The LGPL asks for the library's source to go with it, and how it was built.
        mkdir -p "$PREFIX/source/mpg123"
        "$ROOT/scripts/release/fetch-debian-source.sh" --files "$PREFIX/source/mpg123" \
            "$step=$(pin_of "$step")=$(dsc_sum_of "$step")" >&2
        {
            echo "libmpg123-0.dll was built from Debian's source package mpg123 $(pin_of "$step"),"
            echo "whose files are in this folder, with Debian 12's MinGW-w64 cross-compiler,"
            echo "$($CC --version | head -n 1):"
            echo
            echo "  dpkg-source -x mpg123_*.dsc mpg123"
            echo "  cd mpg123"
            echo "  CFLAGS='-g -O2' LDFLAGS=-Wl,--no-insert-timestamp ./configure ${MPG123_CONFIGURE[*]}"
            echo "  make && make install"
            echo "  $TRIPLE-strip --strip-unneeded /usr/local/bin/libmpg123-0.dll"
            echo
            echo "A DLL built so from these files, or a newer mpg123 with the same interface,"
            echo "can take the place of the libmpg123-0.dll beside the programs."
        } >"$PREFIX/source/mpg123/BUILD.txt"
        ;;
    bullet)
        fetch_source "$step" "$(pin_of "$step")"
        # Debian builds Bullet as RelWithDebInfo (-O2), single precision; the same here, so
        # the physics does the same sums. Debian's patch makes FindOpenGL fail under the cross
        # toolchain, and only the libraries are wanted.
        build() {
            cmake_build "$WORK/$step" "$WORK/$step-build" \
                "BulletSoftBody BulletDynamics BulletCollision LinearMath" \
                -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
                -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
                -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DUSE_DOUBLE_PRECISION=OFF \
                -DBUILD_SHARED_LIBS=OFF -DBUILD_EXTRAS=OFF -DBUILD_BULLET2_DEMOS=OFF \
                -DBUILD_OPENGL3_DEMOS=OFF -DBUILD_CPU_DEMOS=OFF -DBUILD_UNIT_TESTS=OFF \
                -DBUILD_PYBULLET=OFF -DBUILD_ENET=OFF -DBUILD_CLSOCKET=OFF \
                -DUSE_GRAPHICAL_BENCHMARK=OFF -DINSTALL_LIBS=OFF
            local lib
            for lib in BulletSoftBody BulletDynamics BulletCollision LinearMath; do
                cp "$(find "$WORK/$step-build" -name "lib${lib}[_.]*a" | head -n1)" \
                    "$PREFIX/lib/lib$lib.a"
            done
            mkdir -p "$PREFIX/include/bullet"
            (cd "$WORK/$step/src" && find . -name '*.h' -exec cp --parents {} \
                "$PREFIX/include/bullet/" \;)
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence bullet "$WORK/$step/LICENSE.txt" "$WORK/$step/debian/copyright"
        ;;
    irrlicht)
        fetch_source "$step" "$(pin_of "$step")"
        # Debian's source has its bundled zlib, libpng and libjpeg taken out and is patched to
        # use the system's: those built above. bzip2 and the AES code of encrypted zip archives
        # stay out (the archive holds only stored and deflated entries, unencrypted).
        # Irrlicht's own makefile, as Debian's build uses it (-O3).
        build() {
            mkdir -p "$WORK/$step/lib/Win32-gcc"
            cd "$WORK/$step/source/Irrlicht"
            CPPFLAGS="-I$PREFIX/include -DNO_IRR_COMPILE_WITH_BZIP2_ -DNO_IRR_COMPILE_WITH_DIRECT3D_8_ -DNO_IRR_COMPILE_WITH_ZIP_ENCRYPTION_" \
                $NICE make -j "$JOBS" staticlib_win32 NDEBUG=1 CC="$CC" CXX="$CXX" \
                AR="${TRIPLE}-ar" LIBAESGM=
            if ${TRIPLE}-ar t libIrrlicht.a | grep -qi aes; then
                echo "Irrlicht still holds the AES code" >&2
                return 1
            fi
            cp libIrrlicht.a "$PREFIX/lib/libIrrlicht.a"
            mkdir -p "$PREFIX/include/irrlicht"
            cp "$WORK/$step"/include/*.h "$PREFIX/include/irrlicht/"
        }
        run_logged "$label $(pin_of "$step")" "$log" build
        licence irrlicht "$WORK/$step/doc/irrlicht-license.txt" "$WORK/$step/debian/copyright"
        ;;
    kissfft)
        fetch_source "$step" "$(pin_of "$step")"
        mkdir -p "$PREFIX/src/kissfft"
        cp "$WORK/$step"/{kiss_fft.c,kiss_fftr.c,kiss_fft.h,kiss_fftr.h,_kiss_fft_guts.h,kiss_fft_log.h} \
            "$PREFIX/src/kissfft/"
        licence kissfft "$WORK/$step/COPYING" "$WORK/$step/debian/copyright"
        ;;
    esac
    touch "$PREFIX/.built/$step"
done

# Irrlicht's irrTypes.h turns swprintf and snprintf into the old MSVC _snwprintf and _snprintf
# for every Windows compiler but Cygwin's. MinGW-w64's own are the ISO ones, and the macros
# break std::swprintf and std::snprintf in the show (and _snprintf does not terminate a cut
# string). The users' copy of the header leaves MinGW out; the library's code is as shipped.
# Done on every run, so a prefix built before this line gets it too.
# Only when not yet done: a rewritten header would rebuild every file that includes Irrlicht.
if grep -q '^#elif !defined(__CYGWIN__).\{0,1\}$' "$PREFIX/include/irrlicht/irrTypes.h"; then
    sed -i 's/^#elif !defined(__CYGWIN__)\(\r\{0,1\}\)$/#elif !defined(__CYGWIN__) \&\& !defined(__MINGW32__)\1/' \
        "$PREFIX/include/irrlicht/irrTypes.h"
fi

if [ $built_any -eq 1 ]; then
    say "all built in $((SECONDS - started)) s into $PREFIX"
    rm -rf "${WORK:?}"
else
    say "all cached in $PREFIX"
fi
echo "$PREFIX"
