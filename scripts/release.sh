#!/usr/bin/env bash
# Makes the release archives of this commit:
#   dist/pelomvin-VERSION-linux-x86_64.tar.gz
#   dist/pelomvin-VERSION-windows-x64.zip
# VERSION is `git describe --tags --always`. Each unpacks to one folder with the programs,
# data.lll, track/pelomvin_track.mp3, README.txt, licenses/, source/mpg123/ and a launcher.
#
#   scripts/release.sh [--linux-only] [--help]
#
# Steps: the normal build (scripts/setup.sh) makes the content; in a Debian 11 root
# (debootstrap, kept in the cache), scripts/release/linux-deps.sh builds the Linux libraries
# and CMake the Linux programs, so that they ask for no glibc newer than 2.31;
# scripts/release/windows-build.sh (which calls windows-deps.sh) cross-builds the Windows
# ones here. Libraries are built once and kept under ${PELOMVIN_CACHE:-~/.cache/pelomvin}.
#
# A release is made of one commit: a tree with uncommitted changes or untracked files is
# refused. Two releases of one commit give the same archives byte for byte, programs
# included, even with the cache emptied in between: file times are the commit's
# (SOURCE_DATE_EPOCH), modes are fixed, names sorted, owner 0, and no build path or build time
# goes into a program or library. Needs root (the build root: debootstrap, chroot, mounts).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. "$root/scripts/lib/chroot.sh"

windows=yes
for arg in "$@"; do
    case $arg in
    --help | -h)
        sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    --linux-only) windows="" ;;
    *)
        echo "release.sh: unknown option '$arg' (try --help)" >&2
        exit 2
        ;;
    esac
done

die() {
    echo "release.sh: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || die "needs root: the Linux programs are built in a Debian 11 root (chroot)"
# What is released must be a commit: an untracked source file would be compiled in (the
# sources are globbed) without being part of the version's name.
dirty=$(git status --porcelain --untracked-files=all)
if [ -n "$dirty" ]; then
    echo "$dirty" | head -n 10 | sed 's/^/    /' >&2
    die "the tree has uncommitted changes or untracked files (above); commit or remove them: a release is made of one commit"
fi

started=$SECONDS
version=$(git describe --tags --always)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
umask 022
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
dist=$root/dist
stage_dir=$root/build-release-stage
mkdir -p "$dist" "$cache"
say() { echo "[release] $*" >&2; }
step_started=$SECONDS
step() {
    say "$* ($((SECONDS - started)) s so far)"
    step_started=$SECONDS
}
jobs=${JOBS:-2}
root_traps

# --- the content -----------------------------------------------------------------------------
step "1/5 the normal build: content (data.lll, the track) and the reference programs"
nice -n 10 "$root/scripts/setup.sh" >&2
for f in build/data.lll build/track/pelomvin_track.mp3 build/demo; do
    [ -f "$f" ] || die "the normal build left no $f"
done

# --- Linux, in a Debian 11 root -------------------------------------------------------------------
step "2/5 Linux libraries and programs, in a Debian 11 root"
# Bumped when the root's packages change.
build_root_rev=1
build_root=$cache/root-bullseye-build-$build_root_rev
build_packages=(build-essential cmake pkg-config dpkg-dev libx11-dev libgl-dev libxext-dev
                libxxf86vm-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev libasound2-dev
                libpulse-dev libpipewire-0.3-dev libsndio-dev ca-certificates xz-utils bzip2)
make_root bullseye "$build_root" "$cache/root-bullseye-build.log" "${build_packages[@]}"
enter_root "$build_root"
mkdir -p "$build_root/src" "$build_root/cache"
mount --bind "$root" "$build_root/src"
mount --bind "$cache" "$build_root/cache"
inside_prefix=$(waited in_root "$build_root" PELOMVIN_CACHE=/cache JOBS="$jobs" \
    nice -n 10 /src/scripts/release/linux-deps.sh | tail -n 1)
linux_prefix=$cache/${inside_prefix#/cache/}
[ -f "$linux_prefix/versions.txt" ] || die "linux-deps.sh gave no prefix"
# A build folder once configured elsewhere (another tree, the host) is made anew.
linux_build=$root/build-release-linux
grep -qs '^CMAKE_HOME_DIRECTORY:INTERNAL=/src$' "$linux_build/CMakeCache.txt" || rm -rf "$linux_build"
mkdir -p "$linux_build"
waited in_root "$build_root" cmake -S /src -B /src/build-release-linux -DCMAKE_BUILD_TYPE=Release \
    -DSHOW_PROGRAMS_ONLY=ON -DSHOW_DEPS_FILE=/src/cmake/deps_linux_release.cmake \
    -DSHOW_DEPS_PREFIX="$inside_prefix" >"$linux_build/configure.log" 2>&1 ||
    { cat "$linux_build/configure.log" >&2; die "configure failed"; }
waited in_root "$build_root" nice -n 10 cmake --build /src/build-release-linux -j"$jobs" \
    --target demo demo_capture >&2
leave_root "$build_root"
say "  built in $((SECONDS - step_started)) s"

step "3/5 what the Linux programs ask of the system"
# What the programs may ask of the system: glibc's libraries, libGL and libX11. Anything
# else is a library the archive would lack on a stock desktop.
allowed='^(libc|libm|libdl|libpthread|librt|ld-linux-x86-64|libGL|libX11|libmpg123)\.so'
for program in demo demo-capture; do
    needed=$(readelf -d "$linux_build/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    bad=$(grep -Ev "$allowed" <<<"$needed" || true)
    [ -z "$bad" ] || die "$program needs $(echo $bad), which a stock system lacks"
    readelf -d "$linux_build/$program" | grep -q 'R.*PATH.*\$ORIGIN' ||
        die "$program has no \$ORIGIN run path"
    say "  $program needs: $(echo $needed)"
done

# The newest glibc symbol version the programs and the carried library ask for.
glibc_floor() {
    objdump -T "$@" | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -Vu | tail -n 1
}
floor_limit=2.31
floor=$(glibc_floor "$linux_build/demo" "$linux_build/demo-capture" "$linux_prefix/lib/libmpg123.so.0")
say "  glibc floor: $floor"
[ "$(printf '%s\n' "$floor" "$floor_limit" | sort -V | tail -n 1)" = "$floor_limit" ] ||
    die "the programs ask for glibc $floor; the release promises $floor_limit"

# --- the info text -------------------------------------------------------------------------------
demo_help=$(build/demo --help 2>&1) || true
capture_help=$(build/demo-capture --help 2>&1) || true
[ -n "$demo_help" ] || die "demo --help printed nothing"

heading() { printf '\n\n%s\n%s\n\n' "$1" "${1//?/-}"; }

# README.txt for SYSTEM (linux or windows); LIBRARIES is the versions list of its prefix.
write_readme() {
    local system=$1 libraries=$2 floor=${3-} out=$4
    local program=./demo launcher=./run.sh capture=./demo-capture needs mpg123_file
    mpg123_file=libmpg123.so.0
    if [ "$system" = windows ]; then
        program=demo.exe launcher=run.bat capture=demo-capture.exe mpg123_file=libmpg123-0.dll
        needs="64-bit Windows with an OpenGL driver; nothing to install."
    else
        needs="A 64-bit (x86-64) Linux with glibc $floor or newer, libGL (Mesa or a
  vendor's driver) and libX11: Debian 11 or newer, Ubuntu 20.04 or newer, the Red Hat
  Enterprise Linux 9 family, and every desktop like them. No -dev package, compiler or
  package manager is needed; every other library is inside the programs, but for
  libmpg123.so.0 beside them."
    fi
    {
        echo "pelomvin $version"
        echo "pelomvin $version" | sed 's/./=/g'
        echo
        cat <<EOF
A real-time audiovisual show of a little over three minutes: twenty OpenGL scenes in step
with one music track, chosen by the music's play position and shaped every frame by its
live spectrum: dotted spectrum curves, a title drop, a rippling cube landscape under blur,
a bloom-lit fountain room, credits over falling physics bricks, a cube puzzle over an
equaliser, 128 light orbs, greetings cards and a glass-distorted finale where bricks fall
on every bass beat. Everything it shows and plays (models, textures, font, music) was made
from code when it was built.
EOF
        heading "Starting it"
        cat <<EOF
  $launcher
      fullscreen at the desktop's own size, without a mode switch (--desktop), and
      silently with a one-line notice where no sound device opens (--sound auto)

  $launcher 1280 720 w
      words given to $launcher go to the program and win over those two defaults: a
      size replaces the desktop's, a --sound of yours replaces auto

  $program 1280 720 w
      a 1280x720 window

  $program
      fullscreen at 1280x1024, switching the screen's mode: the show's own way

$program reads data.lll and track/pelomvin_track.mp3 beside it: start it from this
folder ($launcher does that by itself). Escape ends it at any time.
EOF
        heading "Options and keys ($program --help)"
        echo "$demo_help"
        heading "What it needs"
        cat <<EOF
- OpenGL with GLSL shaders and render targets (frame buffer objects): any GPU driver of
  the last fifteen years, or Mesa's software renderer (llvmpipe), which is slower.
- A sound device. Without one, $program ends with status 1 and a one-line error;
  $launcher (--sound auto) plays the picture silently instead.
- $needs
EOF
        heading "Rendering to video or pictures ($capture --help)"
        echo "$capture_help"
        echo
        echo "A video (--out) needs ffmpeg on the PATH; pictures (--png) and --bench need nothing."
        heading "What it carries"
        if [ "$system" = linux ]; then
            echo "glibc floor: $floor (the newest glibc symbol version that demo, demo-capture"
            echo "and libmpg123.so.0 ask for, from objdump -T)."
            echo
        fi
        echo "Libraries, linked in or carried beside the programs; their licence texts are"
        echo "in licenses/:"
        echo
        sed 's/^/  /' <<<"$libraries"
        echo
        echo "This software is based in part on the work of the Independent JPEG Group."
        heading "mpg123 and the GNU Lesser General Public License"
        cat <<EOF
The programs use mpg123's library, libmpg123, to decode the music. It is free software
under the GNU Lesser General Public License, version 2.1 (licenses/mpg123/COPYING), and
comes as a shared library beside the programs ($mpg123_file), which load it when they
start. Its complete source, exactly as it was built (Debian's source package and the
commands), is in source/mpg123/; see source/mpg123/BUILD.txt.

As that licence's section 6 asks of a work that uses the library:
- you may replace $mpg123_file with a version of your own, modified or not, that
  keeps the same interface, and the programs will use it;
- you may modify this work for your own use, and reverse-engineer it to debug such
  modifications;
- the library's source and licence are given here, in source/mpg123/ and licenses/mpg123/.
EOF
    } | if [ "$system" = windows ]; then sed 's/$/\r/'; else cat; fi >"$out"
}

# Copies the licence folders of a prefix and the source of the library carried as such.
copy_licences() { # PREFIX DEST
    mkdir -p "$2/licenses" "$2/source"
    cp -R "$1/licenses/." "$2/licenses/"
    [ -f "$1/source/mpg123/BUILD.txt" ] || die "$1 holds no source of mpg123"
    cp -R "$1/source/mpg123" "$2/source/"
}

# Modes as every user's umask would not make them: folders and programs 755, the rest 644.
# Files get the commit's time, so two builds of one commit give the same archive contents.
normalise() { # FOLDER PROGRAM...
    local folder=$1 program
    shift
    find "$folder" -type d -exec chmod 755 {} +
    find "$folder" -type f -exec chmod 644 {} +
    for program in "$@"; do chmod 755 "$folder/$program"; done
    find "$folder" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# --- the Linux folder and archive ----------------------------------------------------------------
step "4/5 the Linux archive"
name=pelomvin-$version-linux-x86_64
folder=$stage_dir/$name
remove_root "$stage_dir"
mkdir -p "$folder/track"
cp "$linux_build/demo" "$linux_build/demo-capture" "$folder/"
strip --strip-all "$folder/demo" "$folder/demo-capture"
cp -L "$linux_prefix/lib/libmpg123.so.0" "$folder/libmpg123.so.0"
strip --strip-unneeded "$folder/libmpg123.so.0"
cp build/data.lll "$folder/"
cp build/track/pelomvin_track.mp3 "$folder/track/"
cp scripts/release/launcher.sh "$folder/run.sh"
copy_licences "$linux_prefix" "$folder"
write_readme linux "$(cat "$linux_prefix/versions.txt")" "$floor" "$folder/README.txt"
normalise "$folder" demo demo-capture run.sh
linux_archive=$dist/$name.tar.gz
(cd "$stage_dir" && tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
    --numeric-owner --format=gnu -cf - "$name") | gzip -n -9 >"$linux_archive.tmp"
mv "$linux_archive.tmp" "$linux_archive"

# --- Windows -------------------------------------------------------------------------------------
windows_archive=""
step "5/5 the Windows archive"
if [ -z "$windows" ]; then
    say "  skipped (--linux-only)"
else
    # windows-build.sh builds the libraries (windows-deps.sh) and the programs, leaves in the
    # folder it is given demo.exe, demo-capture.exe and the DLLs they load that Windows lacks,
    # and names on standard output ("prefix: PATH") the prefix with versions.txt and licenses/.
    windows_out=$root/build-release-windows
    rm -rf "$windows_out"
    # A build folder of its own, so a Windows build of someone's running in build-windows is
    # left alone.
    built=$(PELOMVIN_WINDOWS_BUILD=$root/build-release-windows-build \
        waited nice -n 10 "$root/scripts/release/windows-build.sh" "$windows_out") ||
        die "windows-build.sh failed"
    windows_prefix=$(sed -n 's/^prefix: //p' <<<"$built" | tail -n 1)
    [ -f "$windows_prefix/versions.txt" ] || die "windows-build.sh named no prefix"
    name=pelomvin-$version-windows-x64
    folder=$stage_dir/$name
    mkdir -p "$folder/track"
    cp "$windows_out"/* "$folder/"
    [ -f "$folder/demo.exe" ] || die "windows-build.sh made no demo.exe"
    cp build/data.lll "$folder/"
    cp build/track/pelomvin_track.mp3 "$folder/track/"
    sed 's/$/\r/' scripts/release/launcher.bat >"$folder/run.bat"
    copy_licences "$windows_prefix" "$folder"
    # The MinGW-w64 runtime (libstdc++, libgcc, winpthreads, the CRT start-up) is linked
    # into the programs: its licences go with them, and a release without them is none.
    for doc in gcc-mingw-w64-base mingw-w64-common; do
        [ -f "/usr/share/doc/$doc/copyright" ] ||
            die "the licence of the MinGW-w64 runtime, /usr/share/doc/$doc/copyright, is missing"
        mkdir -p "$folder/licenses/$doc"
        cp "/usr/share/doc/$doc/copyright" "$folder/licenses/$doc/"
    done
    write_readme windows "$(cat "$windows_prefix/versions.txt")
MinGW-w64 runtime: static ($(x86_64-w64-mingw32-g++-posix --version | head -n 1))" "" "$folder/README.txt"
    normalise "$folder" demo.exe demo-capture.exe libmpg123-0.dll run.bat
    windows_archive=$dist/$name.zip
    rm -f "$windows_archive.tmp"
    (cd "$stage_dir" && find "$name" -print | LC_ALL=C sort |
        TZ=UTC zip -X -9 -q -@ "$windows_archive.tmp")
    mv "$windows_archive.tmp" "$windows_archive"
fi

for archive in "$linux_archive" $windows_archive; do
    say "$(basename "$archive"): $(du -b "$archive" | cut -f1) bytes ($(du -h "$archive" | cut -f1))"
done
say "done in $((SECONDS - started)) s"
