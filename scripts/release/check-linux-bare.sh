#!/usr/bin/env bash
# Checks the Linux release archive on a bare Debian 12: a minimal chroot (debootstrap
# --variant=minbase bookworm) with only xvfb, xauth and Mesa's libgl1-mesa-dri added, no
# compiler and no -dev package. Inside it:
#   - ldd finds every library of demo and demo-capture;
#   - demo plays a short track to its end under Xvfb and exits with status 0;
#   - demo-capture --png writes the PNG frames asked for, and they are the normal build's
#     (build/demo-capture on this machine), pixel for pixel.
#
#   scripts/release/check-linux-bare.sh dist/pelomvin-VERSION-linux-x86_64.tar.gz [MUSICGEN]
#
# MUSICGEN (default build/tools/musicgen/musicgen) makes the short track. The chroot is
# built once and kept under ${PELOMVIN_CACHE:-~/.cache/pelomvin}; each run unpacks the
# archive afresh. Needs root (chroot, mounts). Exit status: 0 all passed, 1 a check failed,
# 2 bad command line.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
case "${1-}" in
-h | --help)
    sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
esac
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ ! -f "$1" ]; then
    echo "usage: $0 ARCHIVE.tar.gz [MUSICGEN]  (an archive that exists; try --help)" >&2
    exit 2
fi
archive=$(realpath "$1")
musicgen=$(realpath "${2:-$root/build/tools/musicgen/musicgen}")
[ -x "$musicgen" ] || { echo "error: no musicgen at $musicgen (run scripts/setup.sh)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "error: needs root (chroot and mounts)" >&2; exit 1; }

say() { echo "[bare] $*" >&2; }
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
# Bumped when what is installed in the chroot changes.
chroot_rev=1
bare=$cache/chroot-bookworm-minbase-$chroot_rev

# The Debian mirror the machine's apt already uses (deb822 or one-line sources).
mirror=$( (grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
           grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
               sed 's/\[[^]]*\]//' | awk '{print $2}') | grep -E '/debian/?$' | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
security=$( (grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
             grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
                 sed 's/\[[^]]*\]//' | awk '{print $2}') | grep -E '/debian-security/?$' | head -n 1 || true)
security=${security:-http://deb.debian.org/debian-security}

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
    mounted=()
}
trap unmount_all EXIT
mount_into() { # CHROOT: /dev, /proc and /sys, as programs there expect them
    mount --bind /dev "$1/dev" && mounted+=("$1/dev")
    mount -t proc proc "$1/proc" && mounted+=("$1/proc")
    mount -t sysfs sysfs "$1/sys" && mounted+=("$1/sys")
}

if [ ! -f "$bare/.ready" ]; then
    command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >&2
    partial=$bare.partial
    rm -rf "$partial"
    say "building a minimal Debian 12 chroot from $mirror (once; kept in $bare)"
    start=$SECONDS
    debootstrap --variant=minbase bookworm "$partial" "$mirror" >"$cache/debootstrap.log" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        sleep 10
        say "  debootstrap: $((SECONDS - start)) s, $(grep -c '^I: ' "$cache/debootstrap.log") steps"
    done
    wait "$pid" || { tail -n 20 "$cache/debootstrap.log" >&2; say "debootstrap failed"; exit 1; }
    printf '%s\n' "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
        "deb $security bookworm-security main" >"$partial/etc/apt/sources.list"
    mount_into "$partial"
    say "  installing xvfb, xauth and libgl1-mesa-dri in it"
    chroot "$partial" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends xvfb xauth libgl1-mesa-dri && apt-get clean' \
        >"$cache/chroot-apt.log" 2>&1 || { tail -n 20 "$cache/chroot-apt.log" >&2; say "apt-get in the chroot failed"; exit 1; }
    unmount_all
    touch "$partial/.ready"
    mv "$partial" "$bare"
    say "  chroot ready in $((SECONDS - start)) s"
fi

failed=0 passed=0
check() { # DESCRIPTION COMMAND...: one line, PASS or FAIL
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

# It must be bare: no compiler, no -dev package.
dev=$(chroot "$bare" dpkg-query -W -f='${Package}\n' | grep -E -- '-dev(:|$)' || true)
compilers=$(chroot "$bare" sh -c 'for c in cc gcc g++ c++ clang ld as; do command -v $c; done' || true)
check "the chroot has no compiler and no -dev package${dev:+ (has: $(echo $dev))}${compilers:+ (has: $(echo $compilers))}" \
    test -z "$dev$compilers"

# The archive, unpacked afresh as a user would.
rm -rf "$bare/opt/release"
mkdir -p "$bare/opt/release"
tar -xzf "$archive" -C "$bare/opt/release"
folder=$(cd "$bare/opt/release" && ls -d pelomvin-*)
inside=/opt/release/$folder
say "unpacked $(basename "$archive") into the chroot's $inside"
mount_into "$bare"
in_chroot() { chroot "$bare" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

for program in demo demo-capture; do
    in_chroot ldd "$inside/$program" >"$cache/ldd-$program.txt" 2>&1 || true
    sed "s/^/    /" "$cache/ldd-$program.txt"
    check "ldd finds every library of $program" \
        sh -c "! grep -q 'not found' '$cache/ldd-$program.txt' && grep -q libmpg123.so.0 '$cache/ldd-$program.txt'"
done

# A short track in a copy of the folder: the show plays it to its end.
short=/opt/release/short
rm -rf "$bare$short"
cp -R "$bare$inside" "$bare$short"
"$musicgen" --seconds 8 "$bare$short/track/pelomvin_track.mp3" >/dev/null 2>&1
xvfb='xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset"'
start=$SECONDS
set +e
in_chroot SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 sh -c "cd $short && timeout 300 $xvfb ./demo 640 480 w" \
    >"$cache/bare-demo.out" 2>"$cache/bare-demo.err"
status=$?
set -e
took=$((SECONDS - start))
sed "s/^/    /" "$cache/bare-demo.out" "$cache/bare-demo.err"
echo
check "demo plays an 8 s track to its end under Xvfb with status 0 (status $status, ${took} s)" \
    test "$status" -eq 0 -a "$took" -ge 8

# Frames of the show's own track, as PNG.
set +e
in_chroot LIBGL_ALWAYS_SOFTWARE=1 sh -c \
    "cd $inside && rm -rf /tmp/frames && timeout 300 $xvfb ./demo-capture --png /tmp/frames --frames 10,95 --size 640x360" \
    >"$cache/bare-capture.out" 2>&1
status=$?
set -e
pngs=$(find "$bare/tmp/frames" -name '*.png' 2>/dev/null | sort || true)
good=0
for f in $pngs; do
    [ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] && good=$((good + 1))
    echo "    $(basename "$f"): $(stat -c %s "$f") bytes"
done
check "demo-capture --png --frames 10,95 --size 640x360 writes 2 PNG frames (status $status, $good PNG files)" \
    test "$status" -eq 0 -a "$good" -eq 2

# The release's programs are built against other builds of the libraries than the normal
# build's Debian packages; the show must still draw the same pixels.
reference=$root/build/demo-capture
if [ -x "$reference" ] && [ "$good" -eq 2 ]; then
    rm -rf "$cache/bare-reference"
    (cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 timeout 300 xvfb-run -a \
        -s "-screen 0 1280x1024x24 +extension GLX -noreset" \
        ./demo-capture --png "$cache/bare-reference" --frames 10,95 --size 640x360) >/dev/null 2>&1 || true
    pairs=()
    for f in $pngs; do pairs+=("$f" "$cache/bare-reference/$(basename "$f")"); done
    verdicts=$(python3 "$root/tests/common/program/same_picture.py" "${pairs[@]}" 2>&1) && same=yes || same=no
    sed "s|$bare||g; s|$cache/||g; s/^/    /" <<<"$verdicts"
    check "those frames are the normal build's (build/demo-capture), pixel for pixel" test "$same" = yes
else
    echo "(no build/demo-capture: frames not compared with the normal build)"
fi

echo "glibc in the chroot: $(in_chroot ldd --version | head -n 1)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
