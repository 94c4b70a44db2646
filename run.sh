#!/usr/bin/env bash
# Set up, build, make the content, and play the show. Arguments go to the demo:
#   ./run.sh                 1280x1024 fullscreen
#   ./run.sh 1280 720 w      1280x720 in a window
#   ./run.sh --help          the demo's options and keys
# Without a sound device the show plays silently and says so (--sound auto).
# Without a display (no $DISPLAY, or one that does not answer) the show is rendered instead,
# frame-exact, to show.mp4 beside this script: 1280x720 at 60 fps, or W x H when given.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh"
cd "$here/build"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # A first run should play even where no sound device opens (a VM, a remote desktop):
    # silently then, with one line saying so. A --sound of the user's own wins.
    sound=(--sound auto)
    for word in "$@"; do [ "$word" = --sound ] && sound=(); done
    exec ./demo "${sound[@]}" "$@"
fi

video="$here/show.mp4"
size=()
screen_w=1280 screen_h=1024
if [ $# -eq 2 ] || [ $# -eq 3 ]; then
    size=(--size "${1}x${2}")
    # The private X screen must hold the window.
    [ "$1" -gt "$screen_w" ] 2>/dev/null && screen_w=$1
    [ "$2" -gt "$screen_h" ] 2>/dev/null && screen_h=$2
fi
echo "No display here: rendering the show to $video (progress below)." >&2
xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24 +extension GLX -noreset" \
    ./demo-capture "${size[@]}" --out "$video"
echo "The show is in $video"
