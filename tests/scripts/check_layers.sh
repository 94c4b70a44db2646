#!/usr/bin/env bash
# The include arrows of src/ point down its layers, and only the platform layer includes the
# operating system's headers. The checker must also see an arrow broken on purpose.
source "$(dirname "$0")/../common/program/common.bash" "$1"
ROOT=$(cd "$HERE/../.." && pwd)
CHECK="$ROOT/scripts/check_layers.py"

check "the tree's includes point down" python3 "$CHECK" "$ROOT"

# A scratch copy of the sources, broken one way at a time.
broken() { # broken FILE LINE: FILE gets LINE first; the checker must refuse and name it
    rm -rf "$WORK/tree" && mkdir -p "$WORK/tree"
    cp -r "$ROOT/src" "$ROOT/tools" "$WORK/tree/"
    local file="$WORK/tree/$1"
    { echo "$2"; cat "$file"; } >"$file.new" && mv "$file.new" "$file"
    set +e
    python3 "$CHECK" "$WORK/tree" >"$WORK/out" 2>&1
    local status=$?
    set -e
    [ "$status" -eq 1 ] && grep -q "^$1:1:" "$WORK/out"
}
check "a scene header included by the platform layer is refused" \
    broken src/platform/display.h '#include "scenes/world.h"'
check "the show context included by physics is refused" \
    broken src/physics/physics.h '#include "scenes/show.h"'
check "an X11 header outside the platform layer is refused" \
    broken src/core/overlay.cpp '#include <X11/Xlib.h>'
check "a POSIX header in a tool is refused" \
    broken tools/capture/main.cpp '#include <unistd.h>'

finish
