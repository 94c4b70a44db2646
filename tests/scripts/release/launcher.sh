#!/usr/bin/env bash
# The run folder's launcher (run.sh in a release archive and in the build folder): its two
# defaults, fullscreen at the desktop's size and sound "auto", hold only where the user's
# words say nothing of that kind, and the words reach the program whole. A stand-in demo
# beside it prints what it was given.
source "$(dirname "$0")/../../common/program/common.bash" "$1"
ROOT=$(cd "$HERE/../../.." && pwd)

folder="$WORK/the show"
mkdir -p "$folder"
cp "$ROOT/scripts/release/launcher.sh" "$folder/run.sh"
cat >"$folder/demo" <<'STANDIN'
#!/bin/sh
[ -f data.lll ] || { echo "not in the show's folder: $PWD"; exit 1; }
for word in "$@"; do printf '[%s]' "$word"; done
echo
STANDIN
touch "$folder/data.lll"
chmod 755 "$folder/run.sh" "$folder/demo"

gives() { # gives EXPECTED WORD...: the launcher, given WORD..., starts demo with EXPECTED
    local got
    got=$(cd / && "$folder/run.sh" "${@:2}")
    [ "$got" = "$1" ] || { echo "  run.sh ${*:2} -> $got, not $1"; return 1; }
}
check "no words: the desktop's size, sound auto" gives '[--desktop][--sound][auto]'
check "a size in a window turns off --desktop" gives '[--sound][auto][640][480][w]' 640 480 w
check "a fullscreen size turns off --desktop" gives '[--sound][auto][1280][720]' 1280 720
check "a --sound of the user's replaces auto, and a number after --from is no size" \
    gives '[--desktop][--sound][off][--from][198]' --sound off --from 198
check "--scene and --offset values are no size either" \
    gives '[--desktop][--sound][auto][--scene][7][--offset][-150]' --scene 7 --offset -150
check "a --desktop of the user's is not doubled" gives '[--sound][auto][--desktop][--loop]' \
    --desktop --loop
check "a word with a blank arrives whole" gives '[--desktop][--sound][auto][--from][1 2]' --from '1 2'

ln -s "$folder/run.sh" "$WORK/start the show"
got=$(cd / && "$WORK/start the show" 800 600 w)
check "through a symbolic link from elsewhere it runs the show beside the real file ($got)" \
    test "$got" = '[--sound][auto][800][600][w]'
finish
