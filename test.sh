#!/usr/bin/env bash
# Set up and build as run.sh does, then run every test headless.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh"
cd "$here/build"
ctest --output-on-failure -j2 "$@"
