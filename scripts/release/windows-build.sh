#!/usr/bin/env bash
# Cross-builds the Windows x64 programs and puts them, with every DLL they need that Windows
# itself does not have, into OUTDIR:
#
#   scripts/release/windows-build.sh OUTDIR
#
# leaves OUTDIR/demo.exe, OUTDIR/demo-capture.exe and OUTDIR/libmpg123-0.dll (mpg123 is LGPL,
# so it stays a DLL; everything else is linked in). The libraries come from the cache
# windows-deps.sh fills (built once, reused after); their licence texts are in
# PREFIX/licenses/ and their versions in PREFIX/versions.txt, whose path this prints as
# "prefix: PATH" on standard output. The build folder is build-windows/ in the tree
# (PELOMVIN_WINDOWS_BUILD to choose another). Checks that the programs import no DLL
# other than Windows' own and the ones copied.
set -euo pipefail

if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
    sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
fi
if [ $# -ne 1 ]; then
    echo "usage: $0 OUTDIR (try --help)" >&2
    exit 2
fi
OUT="$1"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${PELOMVIN_WINDOWS_BUILD:-$ROOT/build-windows}"
JOBS="${PELOMVIN_JOBS:-2}"

PREFIX="$("$ROOT/scripts/release/windows-deps.sh" | tail -n1)"
[ -f "$PREFIX/versions.txt" ] || {
    echo "windows-build: windows-deps.sh gave no prefix" >&2
    exit 1
}

echo "[windows-build] configuring in $BUILD" >&2
mkdir -p "$BUILD"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DSHOW_DEPS_FILE="$ROOT/cmake/deps_windows.cmake" -DSHOW_WINDOWS_PREFIX="$PREFIX" \
    -DSHOW_PROGRAMS_ONLY=ON >"$BUILD/configure.log" 2>&1 || {
    tail -n 30 "$BUILD/configure.log" >&2
    echo "windows-build: configuring failed (log: $BUILD/configure.log)" >&2
    exit 1
}
echo "[windows-build] building demo.exe and demo-capture.exe" >&2
nice -n 10 cmake --build "$BUILD" -j "$JOBS" --target demo demo_capture >&2

mkdir -p "$OUT"
cp "$BUILD/demo.exe" "$BUILD/demo-capture.exe" "$PREFIX/bin/libmpg123-0.dll" "$OUT/"
x86_64-w64-mingw32-strip "$OUT/demo.exe" "$OUT/demo-capture.exe"
x86_64-w64-mingw32-strip --strip-unneeded "$OUT/libmpg123-0.dll"

# Every DLL imported must be one copied here or one every Windows has.
system_dlls=" kernel32.dll user32.dll gdi32.dll opengl32.dll winmm.dll advapi32.dll ole32.dll "
system_dlls+=" oleaut32.dll shell32.dll shlwapi.dll setupapi.dll imm32.dll version.dll psapi.dll "
system_dlls+=" msvcrt.dll "
status=0
for exe in "$OUT/demo.exe" "$OUT/demo-capture.exe" "$OUT/libmpg123-0.dll"; do
    while read -r dll; do
        lower="$(echo "$dll" | tr 'A-Z' 'a-z')"
        if [ -f "$OUT/$dll" ] || [[ $system_dlls == *" $lower "* ]] || [[ $lower == api-ms-win-* ]]; then
            continue
        fi
        echo "windows-build: $(basename "$exe") needs $dll, which is neither Windows' nor carried" >&2
        status=1
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $status -eq 0 ] || exit 1
echo "prefix: $PREFIX"
echo "[windows-build] $OUT: $(cd "$OUT" && ls | tr '\n' ' ')" >&2
