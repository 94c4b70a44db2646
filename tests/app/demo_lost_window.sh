#!/usr/bin/env bash
# The demo's window taken away from outside mid-show: destroyed (xdotool windowclose) or its
# client killed (xdotool windowkill). The show stops at once and exits through its shutdown
# with status 0, long before the track would have ended.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

track_seconds=60
make_run_folder "$track_seconds"
cd "$WORK/run"

for how in windowclose windowkill; do
    ./demo 320 240 w >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --name pelomvin | head -n 1 || true)
    sleep 2
    start=$(date +%s)
    [ -n "$window" ] && xdotool "$how" "$window"
    set +e
    for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; ended=no; } || ended=yes
    wait "$pid"
    status=$?
    set -e
    check "after $how the show ends by itself within 20 s" test "$ended" = yes
    check "after $how the exit status is 0 (status $status)" test "$status" -eq 0
    check "after $how nothing crashed" test "$(grep -ciE 'broken|abort|segmentation' "$WORK/err")" -eq 0
done
finish
