#!/usr/bin/env bash
# Whatever size the console gives, the demo either plays or refuses with one line and status 1;
# it never crashes. The launch line comes first either way. (`0 0` asks for the desktop's own
# size; demo_player.sh plays it.)
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

make_run_folder 1
cd "$WORK/run"

run() { # run ARGS...: status into $status, stdout and stderr into $WORK/out and $WORK/err
    set +e
    timeout 120 ./demo "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
}

launch_line() { # launch_line WIDTH HEIGHT [w]
    printf '\nLauncing demo with res: %sx%s ' "$1" "$2"
    [ $# -lt 3 ] || printf 'window mode'
}

# Tiny, odd and tall windows play the short show to its end.
for args in "1 1 w" "1 1" "321 241 w" "2 16384 w"; do
    read -r -a words <<<"$args"
    run "${words[@]}"
    check "$args plays to its end (status $status)" test "$status" -eq 0
    launch_line "${words[@]}" >"$WORK/expected"
    check "$args prints the launch line exactly" cmp -s "$WORK/out" "$WORK/expected"
done

# Sizes no window can have are refused after the launch line, never with a crash.
for args in "0 0 w" "0 600" "-5 100 w" "abc def w" "100000 100000 w" "16385 100" "640 -480"; do
    read -r -a words <<<"$args"
    run "${words[@]}"
    check "$args is refused with status 1 (status $status)" test "$status" -eq 1
    shown=(${words[0]} ${words[1]})
    [[ ${words[0]} =~ ^-?[0-9]+$ ]] || shown[0]=0
    [[ ${words[1]} =~ ^-?[0-9]+$ ]] || shown[1]=0
    { launch_line "${shown[@]}" ${words[2]:+w}; echo; } >"$WORK/expected"
    check "$args still prints the launch line first" cmp -s "$WORK/out" "$WORK/expected"
    check "$args says why on one error line" \
        test "$(wc -l <"$WORK/err")" -eq 1 -a "$(grep -c '^error: .*must be' "$WORK/err")" -eq 1
done
finish
