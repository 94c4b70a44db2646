#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb with Mesa's software OpenGL.
set -euo pipefail
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LIBGL_ALWAYS_SOFTWARE=1
# Scripts that need a display run themselves through here once; this is where a display that
# is set but does not answer is told from one that works.
export WITH_DISPLAY=1
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi
# -noreset: a test that opens a second device must find the server still up.
exec xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset" "$@"
