#!/usr/bin/env bash
# Runs the README's two commands on a clean checkout in a fresh Debian root, as a new user of
# that system would:
#
#   scripts/check-debian.sh [--run "ARGS"] [--keep] SUITE
#   scripts/check-debian.sh --ci [--keep] SUITE
#
#   SUITE     bookworm (Debian 12) or trixie (Debian 13)
#   --run     the words for ./run.sh (default none: the whole show rendered to show.mp4,
#             since the root has no display); e.g. --run "640 360 --from 20 --to 30"
#   --ci      run .ci/run there instead, as CI runs it on a new machine: nothing cached,
#             nothing installed but what the root has; prints its phases' times
#   --keep    leave the work root in place afterwards (its path is printed)
#
# The root is what a user who cloned the show has: debootstrap --variant=minbase with git
# and ca-certificates, made once and kept in ${PELOMVIN_CACHE:-~/.cache/pelomvin}; every run
# works in a fresh copy of it, into which this repository's HEAD is cloned (uncommitted
# changes are not part of it). There ./run.sh installs what it needs, builds and renders, and
# ./test.sh runs the tests. The downloaded packages are kept between runs, nothing else.
# Passes when both commands succeed, show.mp4 is a video of the length asked for, and the
# build printed no compiler warning. Needs root. Exit status: 0 passed, 1 a check failed,
# 2 bad command line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/lib/chroot.sh"
. "$root/scripts/lib/checks.sh"

usage() { sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; }
run_words="" keep="" suite="" ci=""
while [ $# -gt 0 ]; do
    case $1 in
    -h | --help) usage; exit 0 ;;
    --run) [ $# -ge 2 ] || { echo "check-debian.sh: --run wants the words for ./run.sh" >&2; exit 2; }
        run_words=$2; shift ;;
    --keep) keep=yes ;;
    --ci) ci=yes ;;
    bookworm | trixie) suite=$1 ;;
    *) echo "check-debian.sh: unknown word '$1' (SUITE is bookworm or trixie; try --help)" >&2; exit 2 ;;
    esac
    shift
done
[ -n "$suite" ] || { echo "check-debian.sh: name a SUITE, bookworm or trixie (try --help)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "check-debian.sh: needs root (debootstrap, chroot, mounts)" >&2; exit 1; }

say() { echo "[debian $suite] $*" >&2; }
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
# Bumped when what the fresh root holds changes.
root_rev=1
fresh=$cache/root-$suite-fresh-$root_rev
work=$cache/work-check-$suite
packages=$cache/packages-$suite
started=$SECONDS
root_traps

make_root "$suite" "$fresh" "$cache/root-$suite.log" git ca-certificates

say "a fresh copy of the root in $work"
remove_root "$work"
cp -a --reflink=auto "$fresh" "$work"
commit=$(git -C "$root" rev-parse HEAD)
git clone -q --no-local "$root" "$work/root/pelomvin"
git -C "$work/root/pelomvin" checkout -q "$commit"
say "clean checkout of $(git -C "$root" describe --tags --always) in /root/pelomvin"
[ -z "$(git -C "$root" status --porcelain)" ] ||
    say "(the working tree has uncommitted changes; they are not part of this check)"
enter_root "$work"
mkdir -p "$packages" "$work/var/cache/apt/archives"
mount --bind "$packages" "$work/var/cache/apt/archives"

logs=$cache/check-$suite
mkdir -p "$logs"
in_checkout() { # LOG COMMAND: runs COMMAND in the checkout as a user's shell would
    local log=$1
    shift
    set +e
    waited in_root "$work" TERM=dumb bash -c "cd /root/pelomvin && $*" >"$log" 2>&1
    local status=$?
    set -e
    return $status
}

if [ -n "$ci" ]; then
    say ".ci/run on a new machine (log: $logs/ci.log)"
    t=$SECONDS
    in_checkout "$logs/ci.log" .ci/run && status=0 || status=$?
    sed -n '/^=== phases/,$p' "$logs/ci.log"
    check ".ci/run succeeds on a new machine (status $status, $((SECONDS - t)) s)" test "$status" -eq 0
    leave_root "$work"
    [ -n "$keep" ] && say "the work root is kept in $work" || remove_root "$work"
    echo "$passed passed, $failed failed in $((SECONDS - started)) s"
    [ "$failed" -eq 0 ]
    exit
fi

say "./run.sh $run_words (log: $logs/run.log)"
t=$SECONDS
in_checkout "$logs/run.log" ./run.sh $run_words && status=0 || status=$?
run_took=$((SECONDS - t))
tail -n 3 "$logs/run.log" | sed 's/^/    /'
check "./run.sh $run_words succeeds (status $status, $run_took s)" test "$status" -eq 0
# The length asked for: --from and --to when given, else the whole track.
expected=$(in_root "$work" sh -c 'cd /root/pelomvin && ffprobe -v error -show_entries format=duration -of csv=p=0 build/track/pelomvin_track.mp3' 2>/dev/null || echo 0)
from=$(grep -oE -- '--from [0-9.]+' <<<"$run_words" | cut -d' ' -f2 || true)
to=$(grep -oE -- '--to [0-9.]+' <<<"$run_words" | cut -d' ' -f2 || true)
[ -z "$to" ] || expected=$to
expected=$(awk -v e="$expected" -v f="${from:-0}" 'BEGIN { print e - f }')
got=$(in_root "$work" sh -c 'ffprobe -v error -show_entries format=duration -of csv=p=0 /root/pelomvin/show.mp4' 2>/dev/null || echo 0)
check "show.mp4 is a video of about $expected s (it is ${got:-0} s)" \
    awk -v g="${got:-0}" -v e="$expected" 'BEGIN { exit !(g > 0 && g >= e - 0.5 && g <= e + 0.5) }'

say "./test.sh (log: $logs/test.log)"
t=$SECONDS
in_checkout "$logs/test.log" ./test.sh && status=0 || status=$?
test_took=$((SECONDS - t))
summary=$(grep -E 'tests passed|tests failed out of' "$logs/test.log" | tail -n 1 || true)
grep -A40 'The following tests FAILED' "$logs/test.log" | sed 's/^/    /' || true
check "./test.sh succeeds (status $status, $test_took s): ${summary:-no summary}" test "$status" -eq 0
compiler_line='^[^ :]+:[0-9]+:[0-9]+: (warning|error): '
warnings=$(cat "$logs/run.log" "$logs/test.log" | grep -E -c "$compiler_line" || true)
grep -h -E "$compiler_line" "$logs/run.log" "$logs/test.log" | head -n 10 | sed 's/^/    /' || true
check "the build printed no compiler warning ($warnings lines)" test "$warnings" -eq 0

compiler=$(in_root "$work" sh -c 'g++ --version | head -n 1' 2>/dev/null || echo "?")
echo "system: $(in_root "$work" sh -c '. /etc/os-release; echo $PRETTY_NAME'), $compiler, $(in_root "$work" sh -c 'dpkg-query -W -f="Mesa \${Version}" libgl1-mesa-dri' 2>/dev/null || true)"
leave_root "$work"
if [ -n "$keep" ]; then
    say "the work root is kept in $work"
else
    remove_root "$work"
fi
echo "$passed passed, $failed failed in $((SECONDS - started)) s"
[ "$failed" -eq 0 ]
