#!/usr/bin/env bash
# Memcheck over the show: start-up, the opening scenes frame by frame, every hand-over and the
# shutdown, through the virtual clock at 64x48 and one frame a second on a short track (under
# valgrind the software GL costs seconds a frame), then the demo itself with live audio. Any
# leak or memory error from the show's own code fails; the graphics, windowing and sound
# stacks' own are suppressed (valgrind.supp). Leaks of the whole show's frames are the
# sanitizer run's leak checker's part.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"
export LP_NUM_THREADS=0 # llvmpipe renders on the calling thread: fewer threads to trace

track_seconds=40
make_run_folder "$track_seconds"

memcheck() { # memcheck NAME EXPECTED_STATUS COMMAND...
    local name=$1 expected=$2 t0
    shift 2
    t0=$(date +%s)
    set +e
    valgrind --leak-check=full --show-leak-kinds=definite,indirect \
        --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --keep-debuginfo=yes \
        --num-callers=40 --suppressions="$HERE/valgrind.supp" \
        --log-file="$WORK/$name.vg" "$@" >"$WORK/$name.out" 2>&1
    local status=$?
    set -e
    local lost errors
    lost=$(grep -E '(definitely|indirectly) lost: [1-9]' "$WORK/$name.vg" | tr -s ' ' | tr '\n' ';' || true)
    # One summary per process: a library may fork a helper, which memcheck follows too.
    errors=$(grep -oE 'ERROR SUMMARY: [0-9]+ errors' "$WORK/$name.vg" | sort -u || true)
    check "$name: status $status, ${errors:-no summary}, ${lost:-nothing lost} ($(($(date +%s) - t0)) s)" \
        test "$status" -eq "$expected" -a "$errors" = "ERROR SUMMARY: 0 errors"
    [ "$errors" = "ERROR SUMMARY: 0 errors" ] || grep -B2 -A30 -m4 -E 'lost in loss record|Invalid|uninitialised|Conditional' "$WORK/$name.vg"
}

HARDEN_SHOW_TRACK="$WORK/run/track/pelomvin_track.mp3" \
    memcheck show 0 "$BUILD_DIR/tests/host_show_edge_sizes_gl" --gtest_filter='*SlowFrames*'
cd "$WORK/run"
memcheck demo 0 ./demo 64 48 w
finish
