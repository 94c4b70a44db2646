#!/usr/bin/env bash
# Set up, build, make the content, and play the show. Arguments go to the demo:
#   ./run.sh                 1280x1024 fullscreen
#   ./run.sh 1280 720 w      1280x720 in a window
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh"
cd "$here/build"
exec ./demo "$@"
