# Shared by the program tests: a run folder like the one the build leaves, with a short track.
# Usage: source common.bash BUILD_DIR
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
# HERE: the folder of the test that sources this; HELPERS: this folder.
HERE=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
HELPERS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
WORK=$(mktemp -d)
# A step that fails under set -e ends the script at once: no demo it started may play on.
cleanup() {
    local pids
    pids=$(jobs -p)
    [ -z "$pids" ] || kill $pids 2>/dev/null || true
    wait 2>/dev/null || true
    # Never into another file system: a test that mounts under WORK and fails half-way must
    # not reach through a mount into the machine's own files.
    rm -rf --one-file-system "$WORK"
}
trap cleanup EXIT
failures=0

# make_run_folder SECONDS: demo beside data.lll and a generated track of that many seconds.
make_run_folder() {
    mkdir -p "$WORK/run/track"
    ln -sf "$BUILD_DIR/demo" "$WORK/run/demo"
    [ -f "$BUILD_DIR/data.lll" ] && ln -sf "$BUILD_DIR/data.lll" "$WORK/run/data.lll"
    # A kick-like pulse over a soft chord: something for the spectrum to see.
    ffmpeg -loglevel error -y -f lavfi \
        -i "aevalsrc=0.6*sin(2*PI*45*t)*exp(-8*mod(t\,0.5))+0.1*sin(2*PI*440*t)+0.1*sin(2*PI*660*t):s=44100:d=$1" \
        -ac 2 -b:a 192k "$WORK/run/track/pelomvin_track.mp3"
}

check() { # check NAME CONDITION...
    local name=$1; shift
    if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
}
