#!/usr/bin/env bash
# The demo as a user runs it: the launch line, a whole (short) show to its end, and Escape.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

make_run_folder 4
cd "$WORK/run"

start=$(date +%s)
set +e
timeout 60 ./demo 320 240 w >"$WORK/out" 2>"$WORK/err"
status=$?
set -e
elapsed=$(( $(date +%s) - start ))
check "the show ends by itself with status 0 when the track ends (status $status)" test "$status" -eq 0
check "it plays for the track's length, not less (${elapsed}s)" test "$elapsed" -ge 3
printf '\nLauncing demo with res: 320x240 window mode' >"$WORK/expected"
check "the launch line is exact" cmp -s "$WORK/out" "$WORK/expected"

make_run_folder 60
./demo 320 240 w >/dev/null 2>"$WORK/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --name pelomvin | head -n 1 || true)
sleep 1
# Held, not tapped: a key pressed and released while no frame runs (start-up) leaves no trace.
if [ -n "$window" ]; then
    xdotool windowfocus --sync "$window" keydown Escape || true
fi
set +e
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
xdotool keyup Escape || true
kill -0 "$pid" 2>/dev/null && { kill "$pid"; escaped=no; } || escaped=yes
wait "$pid"
status=$?
set -e
check "Escape ends the show at once" test "$escaped" = yes
check "Escape exits with status 0 (status $status)" test "$status" -eq 0
finish
