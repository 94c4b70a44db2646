#!/usr/bin/env bash
# demo-capture --bench: a table per scene, the same figures in the CSV, a chart, and the
# start-up time and peak memory on the last line.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../../common/program/common.bash" "$1"
source "$(dirname "$0")/../../common/program/capture.bash"

make_capture_folder
cd "$WORK/run"

set +e
./demo-capture --bench --size 160x120 --fps 10 --from 16 --to 17 --csv b.csv --chart b.png \
    >"$WORK/out" 2>"$WORK/err"
status=$?
set -e
check "the benchmark succeeds (status $status)" test "$status" -eq 0
# Scene 2 starts at 16.254 s: frame 163 (16.3 s) is the first to read a position inside it,
# so its guard lets frame 164 in; frames 160 to 163 are scene 1's.
check "scene 1 ran its last 4 frames" grep -Eq '^ +1 +4 ' "$WORK/out"
check "scene 2 ran 6 frames" grep -Eq '^ +2 +6 ' "$WORK/out"
check "all frames are summed" grep -Eq '^ +all +10 ' "$WORK/out"
check "the CSV has the same scenes and frames" \
    test "$(cut -d, -f1,2 b.csv | tr '\n' ' ')" = "scene,frames 1,4 2,6 all,10 "
check "every time is a number and drawing takes time" \
    awk -F, 'NR > 1 { for (i = 3; i <= 6; ++i) if ($i !~ /^[0-9]+\.[0-9]+$/) exit 1; if ($5 <= 0) exit 1 }' b.csv
check "the chart is a PNG" bash -c 'head -c 8 b.png | od -An -c | grep -q "P   N   G"'
check "the last line has start-up time and peak memory" \
    bash -c "tail -n 1 '$WORK/out' | grep -Eq '^start-up [0-9.]+ s, peak memory [1-9][0-9]* MB$'"
check "the first line says what depth and multisampling the driver gave" \
    bash -c "head -n 1 '$WORK/out' | grep -Eq '^window: (16|24|32) depth bits, (no|[0-9]+x) multisampling \(asked 32, 4x\); render targets: (16|24|32) depth bits$'"

# A window of 24 depth bits, as Mesa from 25 on gives: the render targets still get 32, and
# more multisampling than any software driver gives is reported as missing, in one line.
./demo-capture --bench --size 160x120 --fps 10 --from 16 --to 16.5 --depth 24 --antialias 16 \
    --csv b24.csv --chart b24.png >"$WORK/out24" 2>"$WORK/err24" || true
check "with --depth 24 the window has 24 bits and the render targets keep 32" \
    grep -Eq '^window: 24 depth bits, .*; render targets: 32 depth bits$' "$WORK/out24"
check "the multisampling it lacked is named in one line on standard error" \
    test "$(grep -c 'demo-capture: the window got .*multisampling of the 16x asked' "$WORK/err24")" -eq 1
finish
