#!/usr/bin/env bash
# Set up, build, make the content, and play the show. Arguments go to the demo:
#   ./run.sh                 fullscreen at the desktop's own size (--desktop)
#   ./run.sh 1280 720 w      1280x720 in a window
#   ./run.sh --help          the demo's options and keys
# Without a sound device the show plays silently and says so (--sound auto).
# Without a display (no $DISPLAY, or one that does not answer) the show is rendered instead,
# frame-exact, to show.mp4 beside this script: 1280x720 at 30 fps without multisampling, or
# W x H when given. Options after the size go to demo-capture and win over those defaults:
#   ./run.sh --fps 60 --antialias 4       the show's own multisampling, at 60 fps
#   ./run.sh 640 360 --from 20 --to 30    an excerpt
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
called_from="$PWD"
"$here/scripts/setup.sh"
cd "$here/build"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # The run folder's launcher, as a release archive has it: fullscreen at the desktop's own
    # size, and silently with a notice where no sound device opens, unless the words say
    # otherwise (scripts/release/launcher.sh).
    exec ./run.sh "$@"
fi

# The demo's positional words first (W H, and the window flag, which a video has no use for),
# then demo-capture's own options.
positional=()
while [ $# -gt 0 ] && [[ $1 != --* ]]; do
    positional+=("$1")
    shift
done
width=1280 height=720
if [ ${#positional[@]} -eq 2 ] || [ ${#positional[@]} -eq 3 ]; then
    width=${positional[0]} height=${positional[1]}
fi
# Software GL on every core, and no multisampling: a whole show in a few minutes. Only the
# opening draws straight into the window, so only its edges differ from the show's own 4x.
options=(--size "${width}x${height}" --fps 30 --antialias 0)
video="$here/show.mp4" video_named="" other_output=""
while [ $# -gt 0 ]; do
    option=$1
    case $option in
    --bench | --help | -h)
        options+=("$option")
        other_output=yes
        shift
        continue
        ;;
    esac
    value=${2-}
    case $option in
    --size) width=${value%%x*} height=${value#*x} ;;
    --png | --frames | --csv | --chart) other_output=yes ;;
    esac
    # Paths are the caller's, not the build folder's.
    case $option in
    --out | --png | --csv | --chart) [[ -z $value || $value == /* ]] || value="$called_from/$value" ;;
    esac
    [ "$option" = --out ] && video=$value video_named=yes
    options+=("$option")
    [ $# -ge 2 ] && options+=("$value") && shift
    shift
done
[ -n "$video_named$other_output" ] || options+=(--out "$video")

# The private X screen must hold the window.
screen_w=1280 screen_h=1024
[ "$width" -gt "$screen_w" ] 2>/dev/null && screen_w=$width
[ "$height" -gt "$screen_h" ] 2>/dev/null && screen_h=$height
echo "No display here: rendering the show with demo-capture (progress below)." >&2
xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24 +extension GLX -noreset" \
    ./demo-capture "${options[@]}"
[ -n "$other_output" ] || echo "The show is in $video"
