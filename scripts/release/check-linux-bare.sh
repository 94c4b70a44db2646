#!/usr/bin/env bash
# Checks the Linux release archive on a bare Debian: a minimal root (debootstrap
# --variant=minbase) with only xvfb, xauth and Mesa's libgl1-mesa-dri added, no compiler and
# no -dev package. Inside it:
#   - ldd finds every library of demo and demo-capture;
#   - demo plays a short track to its end under Xvfb and exits with status 0;
#   - the launcher takes the user's words: `run.sh 640 480 w`, started through a symbolic
#     link from another folder, plays the short track in a window, and
#     `run.sh --sound off --from 198` plays the show's own end silently at the desktop's size;
#   - demo-capture --png writes the frames asked for, two in each of the twenty scenes, at
#     640x360 without multisampling, and they are compared with the normal build's
#     (build/demo-capture on this machine), and the share of differing pixels is reported.
#     With the build machine's own Mesa a frame may differ only where a sum rounds the other
#     way, in no more than 0.1 % of its pixels and by no more than 16 levels; with another
#     Mesa it must be the same picture at an eighth of its size (same_picture.py --blocks).
#
#   scripts/release/check-linux-bare.sh [--suite SUITE] ARCHIVE.tar.gz [MUSICGEN]
#
# SUITE is bullseye (Debian 11), bookworm (Debian 12, the default) or trixie (Debian 13).
# MUSICGEN (default build/tools/musicgen/musicgen) makes the short track. The root is made
# once per suite and kept under ${PELOMVIN_CACHE:-~/.cache/pelomvin}; each run unpacks the
# archive afresh. The frames and their comparison stay in the cache (bare-SUITE/). Needs
# root (chroot, mounts). Exit status: 0 all passed, 1 a check failed, 2 bad command line.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
. "$root/scripts/lib/chroot.sh"
. "$root/scripts/lib/checks.sh"
usage() { sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; }
suite=bookworm
case "${1-}" in
-h | --help) usage; exit 0 ;;
--suite)
    suite=${2-}
    shift 2 || true
    ;;
esac
case $suite in
bullseye | bookworm | trixie) ;;
*) echo "check-linux-bare.sh: --suite wants bullseye, bookworm or trixie (try --help)" >&2; exit 2 ;;
esac
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ ! -f "$1" ]; then
    echo "usage: $0 [--suite SUITE] ARCHIVE.tar.gz [MUSICGEN]  (an archive that exists; try --help)" >&2
    exit 2
fi
archive=$(realpath "$1")
musicgen=$(realpath "${2:-$root/build/tools/musicgen/musicgen}")
[ -x "$musicgen" ] || { echo "error: no musicgen at $musicgen (run scripts/setup.sh)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "error: needs root (chroot and mounts)" >&2; exit 1; }

say() { echo "[bare $suite] $*" >&2; }
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
# Bumped when what is installed in the root changes.
chroot_rev=2
bare=$cache/root-$suite-bare-$chroot_rev
out=$cache/bare-$suite
root_traps

make_root "$suite" "$bare" "$cache/root-$suite-bare.log" xvfb xauth libgl1-mesa-dri
mkdir -p "$out"


# It must be bare: no compiler, no -dev package.
dev=$(in_root "$bare" dpkg-query -W -f='${Package}\n' | grep -E -- '-dev(:|$)' || true)
compilers=$(in_root "$bare" sh -c 'for c in cc gcc g++ c++ clang ld as; do command -v $c; done' || true)
check "the root has no compiler and no -dev package${dev:+ (has: $(echo $dev))}${compilers:+ (has: $(echo $compilers))}" \
    test -z "$dev$compilers"

# The archive, unpacked afresh as a user would.
rm -rf --one-file-system "$bare/opt/release" "$bare/tmp/frames"
mkdir -p "$bare/opt/release"
tar -xzf "$archive" -C "$bare/opt/release"
folder=$(cd "$bare/opt/release" && ls -d pelomvin-*)
inside=/opt/release/$folder
say "unpacked $(basename "$archive") into the root's $inside"
enter_root "$bare"

for program in demo demo-capture; do
    in_root "$bare" ldd "$inside/$program" >"$out/ldd-$program.txt" 2>&1 || true
    sed "s/^/    /" "$out/ldd-$program.txt"
    check "ldd finds every library of $program" \
        sh -c "! grep -q 'not found' '$out/ldd-$program.txt' && grep -q libmpg123.so.0 '$out/ldd-$program.txt'"
done

xvfb='xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset"'
play() { # NAME SECONDS_AT_LEAST FOLDER COMMAND: runs COMMAND in FOLDER under Xvfb; checks it
    local name=$1 least=$2 where=$3 command=$4 status took start=$SECONDS
    set +e
    waited in_root "$bare" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 \
        sh -c "cd '$where' && timeout 300 $xvfb $command" >"$out/$name.out" 2>"$out/$name.err"
    status=$?
    set -e
    took=$((SECONDS - start))
    sed "s/^/    /" "$out/$name.out" "$out/$name.err"
    echo
    check "$command plays to its end with status 0 (status $status, ${took} s)" \
        test "$status" -eq 0 -a "$took" -ge "$least"
}

# A short track in a copy of the folder: the show plays it to its end.
short=/opt/release/short
rm -rf --one-file-system "$bare$short"
cp -R "$bare$inside" "$bare$short"
"$musicgen" --seconds 8 "$bare$short/track/pelomvin_track.mp3" >/dev/null 2>&1
play demo 8 "$short" "./demo 640 480 w"
check "its launch line is the show's, in a window" \
    grep -q 'Launcing demo with res: 640x480 window mode' "$out/demo.out"
# The launcher, as a user starts it: through a link in another folder, with a size.
ln -sfn "$short/run.sh" "$bare/usr/local/bin/pelomvin"
play launcher-size 8 / "/usr/local/bin/pelomvin 640 480 w"
check "the launcher gives the user's size, in a window, instead of the desktop's" \
    grep -q 'Launcing demo with res: 640x480 window mode' "$out/launcher-size.out"
# ... and with a --sound of the user's and a start near the show's own end.
play launcher-sound 1 "$inside" "./run.sh --sound off --from 198"
check "the launcher passes --sound off and --from 198 and keeps the desktop's size" \
    grep -q 'Launcing demo with res: 1280x1024' "$out/launcher-sound.out"

# Frames, two in each scene, as PNG; then the normal build's of the same times.
times=$(python3 - "$root/src/content/scene_starts.h" <<'EOF'
import re, sys
text = open(sys.argv[1]).read()
body = re.search(r"kSceneStarts\s*=\s*\{([^}]*)\}", text).group(1)
starts = [int(x) for x in re.findall(r"\d+", body)]
rate = 44100
starts.append(starts[-1] + 10 * rate)  # the last scene: its first ten seconds
print(",".join("%.3f" % ((a + f * (b - a)) / rate) for a, b in zip(starts, starts[1:])
               for f in (0.25, 0.75)))
EOF
)
capture="./demo-capture --png /tmp/frames --frames $times --size 640x360 --antialias 0"
set +e
waited in_root "$bare" LIBGL_ALWAYS_SOFTWARE=1 sh -c "cd $inside && timeout 600 $xvfb $capture" \
    >"$out/capture.out" 2>&1
status=$?
set -e
grep -v '^capture ' "$out/capture.out" | sed 's/^/    /' || true
rm -rf "$out/frames" "$out/reference"
cp -R "$bare/tmp/frames" "$out/frames" 2>/dev/null || mkdir -p "$out/frames"
count=$(find "$out/frames" -name '*.png' | wc -l)
check "demo-capture --png --frames writes the 40 frames asked for (status $status, $count PNG files)" \
    test "$status" -eq 0 -a "$count" -eq 40

reference=$root/build/demo-capture
if [ -x "$reference" ] && [ "$count" -eq 40 ]; then
    (cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 timeout 600 xvfb-run -a \
        -s "-screen 0 1280x1024x24 +extension GLX -noreset" \
        ./demo-capture --png "$out/reference" --frames "$times" --size 640x360 --antialias 0) \
        >/dev/null 2>&1 || true
    # Each frame against the normal build's: the share of pixels that differ at all and the
    # largest difference of a channel (same_picture.py).
    judge=$root/tests/common/program/same_picture.py
    judged() { python3 "$judge" "${@:2}" >"$1"; } # LOG ARGS...: the judge's verdicts into LOG
    pairs=() apart=()
    previous=""
    for f in "$out"/frames/*.png; do
        pairs+=("$f" "$out/reference/$(basename "$f")")
        [ -z "$previous" ] || apart+=("$previous" "$out/reference/$(basename "$f")")
        previous=$f
    done
    python3 "$judge" "${pairs[@]}" >"$out/compare.txt" 2>&1 || true
    awk 'NF == 5 { n++; s += $3; if ($3 > w) w = $3; if ($4 > l) l = $4; if ($3 == 0) e++ }
         END { printf "%d of %d frames identical; %.4f %% of all pixels differ; the worst frame %.3f %%, largest difference %d levels\n", e, n, 100 * s / (n ? n : 1), 100 * w, l }' \
        "$out/compare.txt" >"$out/summary.txt"
    sed 's/^/    /' "$out/summary.txt"
    echo "    (per frame: $out/compare.txt)"
    if [ "$(in_root "$bare" dpkg-query -W -f='${Version}' libgl1-mesa-dri)" = \
         "$(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null)" ]; then
        # The same Mesa: only the compilers differ (the release's Debian 11 GCC, the normal
        # build's Debian 12 one), and a sum that rounds the other way moves a pixel by a
        # level or so.
        check "those frames are the normal build's but for a sum's last bit (at most 0.1 % of a frame's pixels, 16 levels)" \
            judged "$out/compare-allowed.txt" --allow 0.001 16 "${pairs[@]}"
    else
        # Another Mesa rasterises edges and filters textures its own way, and bloom multiplies
        # that: the same picture, judged at an eighth of the size; frames a third of a second
        # apart must still be told apart by that judge.
        check "those frames are the normal build's pictures (at 1/8 size, no channel more than 64 levels off)" \
            judged "$out/compare-blocks.txt" --blocks 8 64 "${pairs[@]}"
        check "... and that judge tells every frame from the next one asked for" \
            sh -c "! python3 '$judge' --blocks 8 64 ${apart[*]} | grep -q ' same$'"
    fi
else
    echo "(no build/demo-capture: frames not compared with the normal build)"
fi

# What the driver gave the window and the render targets, as the benchmark states it.
waited in_root "$bare" LIBGL_ALWAYS_SOFTWARE=1 sh -c "cd $inside && timeout 300 $xvfb \
    ./demo-capture --bench --size 160x120 --fps 10 --from 16 --to 16.5 --csv /tmp/b.csv --chart /tmp/b.png" \
    >"$out/bench.out" 2>&1 || true
buffers=$(grep -h -m1 '^window: ' "$out/bench.out" || true)
check "demo-capture --bench states what the driver gave: ${buffers:-nothing}" test -n "$buffers"
window=$(grep -h -m1 'demo-capture: the window got' "$out/capture.out" || true)
echo "system: $(in_root "$bare" sh -c '. /etc/os-release; echo $PRETTY_NAME'), $(in_root "$bare" ldd --version | head -n 1), Mesa $(in_root "$bare" dpkg-query -W -f='${Version}' libgl1-mesa-dri)"
[ -z "$window" ] || echo "the driver: ${window#demo-capture: }"
leave_root "$bare"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
