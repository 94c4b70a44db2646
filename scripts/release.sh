#!/usr/bin/env bash
# Makes the release archives of this commit:
#   dist/pelomvin-VERSION-linux-x86_64.tar.gz
#   dist/pelomvin-VERSION-windows-x64.zip
# VERSION is `git describe --tags --always --dirty`. Each unpacks to one folder with the
# programs, data.lll, track/pelomvin_track.mp3, README.txt, licenses/ and a launcher.
#
#   scripts/release.sh [--linux-only] [--help]
#
# Steps: the normal build (scripts/setup.sh) makes the content; scripts/release/linux-deps.sh
# and a build in build-release-linux make the Linux programs; scripts/release/windows-deps.sh
# and scripts/release/windows-build.sh (which calls it) the Windows ones. Libraries are built once and cached
# under ${PELOMVIN_CACHE:-~/.cache/pelomvin}. The archives' contents are reproducible: file
# times are the commit's (SOURCE_DATE_EPOCH), names sorted, owner 0.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

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

started=$SECONDS
version=$(git describe --tags --always --dirty)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
dist=$root/dist
stage_dir=$root/build-release-stage
mkdir -p "$dist"
say() { echo "[release] $*" >&2; }
step_started=$SECONDS
step() {
    say "$* ($((SECONDS - started)) s so far)"
    step_started=$SECONDS
}
die() {
    echo "release.sh: $*" >&2
    exit 1
}
jobs=${JOBS:-2}

# --- the content -----------------------------------------------------------------------------
step "1/5 the normal build: content (data.lll, the track) and the reference programs"
nice -n 10 "$root/scripts/setup.sh" >&2
for f in build/data.lll build/track/pelomvin_track.mp3 build/demo; do
    [ -f "$f" ] || die "the normal build left no $f"
done

# --- Linux -------------------------------------------------------------------------------------
step "2/5 Linux libraries (scripts/release/linux-deps.sh)"
linux_prefix=$(nice -n 10 "$root/scripts/release/linux-deps.sh" | tail -n 1)
[ -f "$linux_prefix/versions.txt" ] || die "linux-deps.sh gave no prefix"

step "3/5 Linux programs (build-release-linux)"
mkdir -p "$root/build-release-linux"
cmake -S "$root" -B "$root/build-release-linux" -DCMAKE_BUILD_TYPE=Release -DSHOW_PROGRAMS_ONLY=ON \
    -DSHOW_DEPS_FILE="$root/cmake/deps_linux_release.cmake" -DSHOW_DEPS_PREFIX="$linux_prefix" \
    >"$root/build-release-linux/configure.log" 2>&1 ||
    { cat "$root/build-release-linux/configure.log" >&2; die "configure failed"; }
nice -n 10 cmake --build "$root/build-release-linux" -j"$jobs" --target demo demo_capture >&2
say "  built in $((SECONDS - step_started)) s"

# What the programs may ask of the system: glibc's libraries, libGL and libX11. Anything
# else is a library the archive would lack on a stock desktop.
allowed='^(libc|libm|libdl|libpthread|librt|ld-linux-x86-64|libGL|libX11|libmpg123)\.so'
for program in demo demo-capture; do
    needed=$(readelf -d "build-release-linux/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    bad=$(grep -Ev "$allowed" <<<"$needed" || true)
    [ -z "$bad" ] || die "$program needs $(echo $bad), which a stock system lacks"
    readelf -d "build-release-linux/$program" | grep -q 'R.*PATH.*\$ORIGIN' ||
        die "$program has no \$ORIGIN run path"
    say "  $program needs: $(echo $needed)"
done

# --- the info text -------------------------------------------------------------------------------
demo_help=$(build-release-linux/demo --help 2>&1) || true
capture_help=$(build-release-linux/demo-capture --help 2>&1) || true
[ -n "$demo_help" ] || die "demo --help printed nothing"

# The newest glibc symbol version the programs and the carried library ask for.
glibc_floor() {
    objdump -T "$@" | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -Vu | tail -n 1
}

heading() { printf '\n\n%s\n%s\n\n' "$1" "${1//?/-}"; }

# README.txt for SYSTEM (linux or windows); LIBRARIES is the versions list of its prefix.
write_readme() {
    local system=$1 libraries=$2 floor=${3-} out=$4
    local program=./demo launcher=./run.sh capture=./demo-capture needs
    if [ "$system" = windows ]; then
        program=demo.exe launcher=run.bat capture=demo-capture.exe
        needs="64-bit Windows with an OpenGL driver; nothing to install."
    else
        needs="A 64-bit (x86-64) Linux with glibc $floor or newer, libGL (Mesa or a
  vendor's driver) and libX11: what every desktop has. No -dev package, compiler or
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
      silently with a one-line notice where no sound device opens (--sound auto);
      words given to $launcher go to the program

  $program 1280 720 w
      a 1280x720 window

  $program
      fullscreen at 1280x1024, switching the screen's mode: the show's own way

Run it from this folder: it reads data.lll and track/pelomvin_track.mp3 beside it.
Escape ends it at any time.
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
        echo "mpg123 is under the LGPL 2.1 and is carried as a shared library"
        if [ "$system" = windows ]; then
            echo "(libmpg123-0.dll), so it can be replaced by another build of the same version."
        else
            echo "(libmpg123.so.0, found beside the programs through an \$ORIGIN run path), so it"
            echo "can be replaced by another build of the same version."
        fi
    } | if [ "$system" = windows ]; then sed 's/$/\r/'; else cat; fi >"$out"
}

# Copies the licence folders of a prefix, and the show's own content's provenance.
copy_licences() { # PREFIX DEST
    mkdir -p "$2/licenses"
    cp -R "$1/licenses/." "$2/licenses/"
}

# Files get the commit's time, so two builds of one commit give the same archive contents.
fix_times() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

# --- the Linux folder and archive ----------------------------------------------------------------
step "4/5 the Linux archive"
name=pelomvin-$version-linux-x86_64
folder=$stage_dir/$name
rm -rf "$stage_dir" && mkdir -p "$folder/track"
cp build-release-linux/demo build-release-linux/demo-capture "$folder/"
strip --strip-all "$folder/demo" "$folder/demo-capture"
cp -L "$linux_prefix/lib/libmpg123.so.0" "$folder/libmpg123.so.0"
strip --strip-unneeded "$folder/libmpg123.so.0"
cp build/data.lll "$folder/"
cp build/track/pelomvin_track.mp3 "$folder/track/"
cat >"$folder/run.sh" <<'EOF'
#!/bin/sh
# Starts the show fullscreen at the desktop's own size, silently with a notice where no
# sound device opens. Words given here go to the program (./demo --help lists them).
cd "$(dirname "$0")" || exit 1
exec ./demo --desktop --sound auto "$@"
EOF
chmod 755 "$folder/run.sh" "$folder/demo" "$folder/demo-capture"
chmod 644 "$folder/libmpg123.so.0" "$folder/data.lll" "$folder/track/pelomvin_track.mp3"
copy_licences "$linux_prefix" "$folder"
floor=$(glibc_floor "$folder/demo" "$folder/demo-capture" "$folder/libmpg123.so.0")
say "  glibc floor of the Linux programs: $floor"
write_readme linux "$(cat "$linux_prefix/versions.txt")" "$floor" "$folder/README.txt"
fix_times "$folder"
linux_archive=$dist/$name.tar.gz
(cd "$stage_dir" && tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
    --numeric-owner --mode='u+w,go-w' --format=gnu -cf - "$name") | gzip -n -9 >"$linux_archive.tmp"
mv "$linux_archive.tmp" "$linux_archive"

# --- Windows -------------------------------------------------------------------------------------
windows_archive=""
step "5/5 the Windows archive"
if [ -z "$windows" ]; then
    say "  skipped (--linux-only)"
elif [ ! -x "$root/scripts/release/windows-build.sh" ]; then
    say "  skipped: scripts/release/windows-build.sh is not there yet"
else
    # windows-build.sh builds the libraries (windows-deps.sh) and the programs, leaves in the
    # folder it is given demo.exe, demo-capture.exe and the DLLs they load that Windows lacks,
    # and names on standard output ("prefix: PATH") the prefix with versions.txt and licenses/.
    windows_out=$root/build-release-windows
    rm -rf "$windows_out"
    # A build folder of its own, so a Windows build of someone's running in build-windows is
    # left alone.
    built=$(PELOMVIN_WINDOWS_BUILD=$root/build-release-windows-build \
        nice -n 10 "$root/scripts/release/windows-build.sh" "$windows_out") ||
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
    printf '%s\r\n' '@echo off' \
        "rem Starts the show fullscreen at the desktop's own size, silently with a notice where" \
        'rem no sound device opens. Words given here go to the program (demo.exe --help).' \
        'cd /d "%~dp0"' 'demo.exe --desktop --sound auto %*' >"$folder/run.bat"
    copy_licences "$windows_prefix" "$folder"
    # The MinGW-w64 runtime (libstdc++, libgcc, winpthreads, the CRT start-up) is linked
    # into the programs: its licences go with them.
    for doc in gcc-mingw-w64-base mingw-w64-common; do
        if [ -f "/usr/share/doc/$doc/copyright" ]; then
            mkdir -p "$folder/licenses/$doc"
            cp "/usr/share/doc/$doc/copyright" "$folder/licenses/$doc/"
        fi
    done
    write_readme windows "$(cat "$windows_prefix/versions.txt")
MinGW-w64 runtime: static ($(x86_64-w64-mingw32-g++-posix --version | head -n 1))" "" "$folder/README.txt"
    fix_times "$folder"
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
