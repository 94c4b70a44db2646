#!/bin/bash
# The generator's master keeps its promises on a short excerpt (the first credits scene, the
# steadiest and among the loudest stretches of the track): after MP3 encoding the true peak
# stays at or below -1 dBTP and the median one-second crest factor at or above 8.5 dB; the
# saturator bends at most 5 % of the samples. The crest factor hardly moves when a limiter
# with smooth gain is driven harder (it keeps the waveform's shape and turns everything down),
# so the limiter's average gain reduction is held to a loud master's few dB as well.
set -u
build=$1
gen=$build/tools/musicgen/musicgen
report=$build/tools/musicgen/musicreport
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$gen" --seconds 12 "$tmp/excerpt.mp3" >"$tmp/gen.txt" || { cat "$tmp/gen.txt"; fail "musicgen"; }
"$report" --master "$tmp/excerpt.mp3" >"$tmp/master.txt" || { cat "$tmp/master.txt"; fail "musicreport --master"; }
cat "$tmp/gen.txt" "$tmp/master.txt"

# figure FILE PATTERN: the number that follows PATTERN on its line.
figure() { sed -n "s/.*$2 \(-\{0,1\}[0-9.]*\).*/\1/p" "$1" | head -n 1; }
bent=$(figure "$tmp/gen.txt" "saturator bent")
reduction=$(figure "$tmp/gen.txt" "by 3 dB or more, by")
peak=$(figure "$tmp/master.txt" "true peak")
crest=$(figure "$tmp/master.txt" "crest factor")
[ -n "$bent" ] && [ -n "$reduction" ] && [ -n "$peak" ] && [ -n "$crest" ] ||
    fail "a figure is missing"

awk -v v="$peak" 'BEGIN { exit !(v <= -1.0) }' || fail "true peak $peak dBTP is above -1.0"
awk -v v="$crest" 'BEGIN { exit !(v >= 8.5) }' || fail "crest factor $crest dB is below 8.5"
awk -v v="$bent" 'BEGIN { exit !(v <= 5.0) }' || fail "the saturator bent $bent % of samples"
awk -v v="$reduction" 'BEGIN { exit !(v <= 4.5) }' ||
    fail "the limiter turned the excerpt down by $reduction dB on average"
echo "ok: true peak $peak dBTP, crest factor $crest dB, $bent % of samples bent," \
    "limiter $reduction dB on average"

# Both tools explain themselves: --help prints the usage and succeeds.
for tool in "$gen" "$report"; do
    "$tool" --help >"$tmp/help.txt" || fail "$(basename "$tool") --help fails"
    grep -q '^usage: ' "$tmp/help.txt" || fail "$(basename "$tool") --help prints no usage"
done
echo "ok: musicgen and musicreport answer --help"
