#!/usr/bin/env bash
# The content generator gives the same archive bytes on every run, in any time zone.
set -euo pipefail
build=${1:?usage: reproducible.sh BUILD_DIR}
gen="$build/tools/assetgen/assetgen"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$gen" "$tmp/a.lll" >/dev/null
TZ=America/Los_Angeles "$gen" "$tmp/b.lll" >/dev/null
if ! cmp -s "$tmp/a.lll" "$tmp/b.lll"; then
    echo "assetgen wrote different archives on two runs" >&2
    exit 1
fi
cmp -s "$tmp/a.lll" "$build/data.lll" || { echo "build/data.lll differs from a fresh run" >&2; exit 1; }
echo "assetgen reproducible: $(stat -c %s "$tmp/a.lll") bytes"
