#!/bin/bash
# The music generator makes the same bytes on every run, rejects a bad command line, and its
# report passes on the built track.
set -u
build=$1
gen=$build/tools/musicgen/musicgen
report=$build/tools/musicgen/musicreport
track=$build/track/pelomvin_track.mp3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$gen" --seconds 5 "$tmp/a.mp3" >/dev/null || fail "excerpt run 1"
"$gen" --seconds 5 "$tmp/b.mp3" >/dev/null || fail "excerpt run 2"
cmp -s "$tmp/a.mp3" "$tmp/b.mp3" || fail "two excerpt runs differ"
size=$(stat -c %s "$tmp/a.mp3")
# 5 s at 192 kbit/s is about 120 kB.
[ "$size" -gt 100000 ] && [ "$size" -lt 200000 ] || fail "excerpt size $size"

"$gen" --seconds 0 "$tmp/c.mp3" >/dev/null 2>&1 && fail "accepted --seconds 0"
"$gen" --seconds 5 >/dev/null 2>&1 && fail "accepted a missing output"
"$gen" --seconds 1 "$tmp/no/such/dir/x.mp3" >/dev/null 2>&1 && fail "claimed to write into a missing dir"

[ -f "$track" ] || fail "no built track at $track"
start=$(date +%s)
"$gen" "$tmp/full.mp3" >/dev/null || fail "full run"
cmp -s "$tmp/full.mp3" "$track" || fail "a second full run differs from the built track"
echo "full run took $(( $(date +%s) - start )) s"
"$report" "$track" >"$tmp/report.txt" || { cat "$tmp/report.txt"; fail "report"; }
echo "ok"
