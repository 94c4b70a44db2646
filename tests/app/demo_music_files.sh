#!/usr/bin/env bash
# The demo given every kind of music file: what it cannot decode ends it with the error line
# and status 1 (a failure never reads as success); everything else plays cleanly for its own length and ends by itself.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../common/program/common.bash" "$1"

make_run_folder 1
cd "$WORK/run"
track=track/pelomvin_track.mp3
mkdir -p "$WORK/music"

tone() { # tone NAME RATE SECONDS CHANNELS
    ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.6*sin(2*PI*45*t)+0.1*sin(2*PI*440*t):s=$2:d=$3" \
        -ac "$4" -b:a 128k "$WORK/music/$1"
}

play() { # play FILE: the demo with FILE as its track; status, elapsed seconds, stderr
    rm -rf "$track"
    [ -e "$1" ] && cp -r "$1" "$track"
    local start
    start=$(date +%s%N)
    set +e
    timeout 120 ./demo 160 120 w >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
    grep -v '^X error ignored' "$WORK/err" >"$WORK/errors" || true
}

# Undecodable: exactly the one error line, status 1.
tone tone.wav 44100 2 2
tone whole.mp3 44100 3 2
: >"$WORK/music/empty.mp3"
echo "this is not music" >"$WORK/music/text.mp3"
head -c 300 "$WORK/music/whole.mp3" >"$WORK/music/cut_in_first_frame.mp3"
head -c 100000 /dev/urandom >"$WORK/music/noise.mp3"
mkdir "$WORK/music/directory.mp3"
for name in missing.mp3 empty.mp3 text.mp3 cut_in_first_frame.mp3 noise.mp3 tone.wav directory.mp3; do
    play "$WORK/music/$name"
    check "$name: status 1 (status $status)" test "$status" -eq 1
    check "$name: the one error line and nothing else" \
        test "$(cat "$WORK/errors")" = "[ERROR] could not open file"
done

# Decodable: no error line, status 0, and the show lasts as long as the music.
seconds=3
tone r48k.mp3 48000 "$seconds" 2
tone mono.mp3 44100 "$seconds" 1
tone tiny.mp3 44100 0.01 2
head -c 20000 "$WORK/music/whole.mp3" >"$WORK/music/truncated.mp3"
for name in whole.mp3 r48k.mp3 mono.mp3 truncated.mp3 tiny.mp3; do
    play "$WORK/music/$name"
    check "$name: plays to its end with status 0 (status $status)" test "$status" -eq 0
    check "$name: no error line ($(tr '\n' '|' <"$WORK/errors"))" test ! -s "$WORK/errors"
    [ "$name" = whole.mp3 ] && whole_ms=$elapsed_ms
    case $name in r48k.mp3 | mono.mp3)
        check "$name: lasts the whole track (${elapsed_ms} ms, 44.1 kHz stereo ${whole_ms} ms)" \
            test "$elapsed_ms" -ge $((seconds * 1000)) ;;
    esac
done
# That a track ends the show as soon as its last sample is heard, however short it is, is the
# live clock's own test (tests/core/time_source.cpp); timing it here raced start-up on a loaded
# machine.
finish
