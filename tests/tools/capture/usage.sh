#!/usr/bin/env bash
# demo-capture's refusals: bad options give one line and status 2 before anything starts;
# a missing track gives one line and status 1; --help shows the options.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../../common/program/common.bash" "$1"
source "$(dirname "$0")/../../common/program/capture.bash"

make_capture_folder
cd "$WORK/run"

refused() { # refused ARGS...: status 2, one line naming the usage, nothing written
    local status
    set +e
    ./demo-capture "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
    [ "$status" -eq 2 ] && [ "$(wc -l <"$WORK/err")" -eq 1 ] && grep -q "usage: demo-capture" "$WORK/err" &&
        [ ! -s "$WORK/out" ] && [ ! -e show.mp4 ]
}
check "an unknown option is refused" refused --speed 2
check "a size without a height is refused" refused --size 640
check "a frame rate of 0 is refused" refused --fps 0
check "--to before --from is refused" refused --from 10 --to 5
check "a broken list of times is refused" refused --frames 1,,2
check "--out with --png is refused" refused --out a.mp4 --png d
check "--bench with --out is refused" refused --bench --out a.mp4
check "an odd size for an MP4 is refused" refused --size 161x120
check "a value left off the end is refused" refused --fps

check "--help shows the options and succeeds" bash -c './demo-capture --help | grep -q -- "--frames"'

mv track/pelomvin_track.mp3 track/elsewhere.mp3
set +e
./demo-capture --size 160x120 --to 1 --out x.mp4 >"$WORK/out" 2>"$WORK/err"
status=$?
set -e
check "a missing track ends with status 1 (status $status)" test "$status" -eq 1
check "and one line saying which file" bash -c "[ \$(grep -c . '$WORK/err') -eq 1 ] && grep -q pelomvin_track '$WORK/err'"
finish
