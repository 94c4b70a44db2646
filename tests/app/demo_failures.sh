#!/usr/bin/env bash
# The three failures the demo reports: no display, no sound output, no music.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

make_run_folder 2
cd "$WORK/run"

run() { # run ENV... -- ARGS: status into $status, stderr into $WORK/err
    set +e
    env "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
}

mv track/pelomvin_track.mp3 track/elsewhere.mp3
run timeout 60 ./demo 320 240 w
check "a missing track fails with status 1 (status $status)" test "$status" -eq 1
check "a missing track prints the exact error line" grep -qx '\[ERROR\] could not open file' "$WORK/err"
mv track/elsewhere.mp3 track/pelomvin_track.mp3

run SDL_AUDIODRIVER=no_such_driver timeout 60 ./demo 320 240 w
check "no sound output fails with status 1 (status $status)" test "$status" -eq 1
check "no sound output prints the exact error line" grep -qx '\[ERROR\] Could not initialise fmod' "$WORK/err"

run -u DISPLAY timeout 60 ./demo 320 240 w
check "no display returns 1 (status $status)" test "$status" -eq 1
check "... and prints nothing but its launch line" \
    sh -c "test ! -s '$WORK/err' && test \"\$(cat '$WORK/out')\" = \"\$(printf '\\nLauncing demo with res: 320x240 window mode')\""

# A display that offers no OpenGL window at any depth (no GLX): every depth is tried, and the
# show still ends the way it does without a display.
run xvfb-run -a -s "-screen 0 640x480x24 -extension GLX" timeout 60 ./demo 320 240 w
check "a display without OpenGL returns 1 (status $status)" test "$status" -eq 1
check "... and prints nothing but its launch line" \
    sh -c "test ! -s '$WORK/err' && grep -q 'Launcing demo' '$WORK/out' && test \$(wc -l <'$WORK/out') -le 1"
finish
