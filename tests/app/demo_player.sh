#!/usr/bin/env bash
# The demo's options as a user types them: --help, refusals of bad words, options beside the
# positional size, playing without a sound device, starting late, looping, the desktop's own
# screen, and a quiet console on every normal path.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

run() { # run [ENV=VALUE...] -- ARGS...: status, elapsed seconds, $WORK/out and $WORK/err
    local envs=()
    while [ "$1" != "--" ]; do envs+=("$1"); shift; done
    shift
    local start
    start=$(date +%s.%N)
    set +e
    env "${envs[@]}" timeout 120 ./demo "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
    elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
}
lines() { wc -l <"$1"; }
holds() { awk "BEGIN { exit !($1) }"; } # holds EXPRESSION: an arithmetic truth
launch_line() { printf '\nLauncing demo with res: %s' "$1" >"$WORK/expected"; }

make_run_folder 3
cd "$WORK/run"

run -- --help
check "--help exits 0 (status $status)" test "$status" -eq 0
check "--help starts with the usage line" grep -q '^usage: demo ' "$WORK/out"
for option in --desktop --from --scene --loop --offset --sound --help; do
    check "--help names $option" grep -q -- "$option" "$WORK/out"
done

# Every bad command line: one line on standard error, status 2, and nothing is started.
while read -r words; do
    read -r -a argv <<<"$words"
    run -- "${argv[@]}"
    check "'$words' is refused with status 2 (status $status)" test "$status" -eq 2
    check "'$words' says why on one line" test "$(lines "$WORK/err")" -eq 1
    check "'$words' prints no launch line" test ! -s "$WORK/out"
done <<'EOF'
--bogus
--from
--from abc
--from -1
--scene 0
--scene 21
--offset 1001
--offset -1001
--offset 1.5
--sound maybe
--loop --loop
--from 1 --scene 2
--desktop 320 240 w
EOF

# Options may stand anywhere; the positional size keeps its meaning and its launch line.
run -- --sound off 320 --offset 0 240 w
check "options between the size words still play the show (status $status)" test "$status" -eq 0
launch_line "320x240 window mode"
check "and the launch line is exact" cmp -s "$WORK/out" "$WORK/expected"
check "a normal run writes nothing to standard error" test ! -s "$WORK/err"

# No sound device. ALSA with a card that does not exist fails, and complains on its way.
nosound=(SDL_AUDIODRIVER=alsa ALSA_CARD=no_such_card)
run "${nosound[@]}" -- 320 240 w
check "without a sound device the show fails with status 1 (status $status)" test "$status" -eq 1
check "and says so in its own error line only" \
    test "$(cat "$WORK/err")" = "[ERROR] Could not initialise fmod"
run "${nosound[@]}" -- 320 240 w --sound auto
check "--sound auto plays the show silently to its end (status $status)" test "$status" -eq 0
check "--sound auto plays the whole track (${elapsed} s)" holds "$elapsed >= 3"
check "--sound auto says so in one line and nothing else" test "$(lines "$WORK/err")" -eq 1
check "that line names the silence" grep -q 'without sound' "$WORK/err"
run "${nosound[@]}" -- 320 240 w --sound off
check "--sound off plays silently (status $status)" test "$status" -eq 0
check "--sound off keeps the console quiet" test ! -s "$WORK/err"

# Starting late: the show ends as many seconds sooner.
make_run_folder 30
run -- 320 240 w --from 27
check "--from 27 of 30 s ends by itself (status $status)" test "$status" -eq 0
check "--from 27 of 30 s plays about 3 s, not 30 (${elapsed} s)" \
    holds "$elapsed >= 3 && $elapsed < 20"
run -- 320 240 w --from 31
check "--from past the end is refused with status 2 (status $status)" test "$status" -eq 2
check "and says why on one line" grep -q "past the show's end" "$WORK/err"

# The desktop's own screen: the size the X screen has, fullscreen, no window-mode word.
make_run_folder 2
screen=$(xdpyinfo | awk '/dimensions:/ && !seen { print $2; seen = 1 }')
for words in "0 0" "--desktop"; do
    read -r -a argv <<<"$words"
    run -- "${argv[@]}"
    check "'$words' plays (status $status)" test "$status" -eq 0
    launch_line "$screen "
    check "'$words' opens at the desktop's $screen" cmp -s "$WORK/out" "$WORK/expected"
done

# Looping: a 2 s show still runs after three times its length, and Escape ends it with 0.
./demo 320 240 w --loop >/dev/null 2>"$WORK/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --name pelomvin | head -n 1 || true)
sleep 7
alive=no
kill -0 "$pid" 2>/dev/null && alive=yes
check "--loop plays the show again and again" test "$alive" = yes
[ -n "$window" ] && xdotool windowfocus --sync "$window" keydown Escape || true
set +e
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
xdotool keyup Escape || true
kill -0 "$pid" 2>/dev/null && kill "$pid"
wait "$pid"
status=$?
set -e
check "Escape ends a looping show with status 0 (status $status)" test "$status" -eq 0
check "a looping show keeps the console quiet" test ! -s "$WORK/err"
finish
