#!/usr/bin/env bash
# check-linux-bare.sh stopped while it makes its root leaves the machine's /dev as it was, and
# the next run takes the half-made root away and passes: stopped by TERM (a CI time-out, its
# trap runs), and by KILL to its whole process group (nothing of its own runs, so only the
# next run can clean up). Needs root, Debian's mirror and a release archive named by
# PELOMVIN_RELEASE_ARCHIVE; skipped without them (.ci/run runs it after the release).
source "$(dirname "$0")/../../common/program/common.bash" "$1"
ROOT=$(cd "$HERE/../../.." && pwd)
archive=${PELOMVIN_RELEASE_ARCHIVE:-}
if [ -z "$archive" ] || [ ! -f "$archive" ] || [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root and PELOMVIN_RELEASE_ARCHIVE (a Linux release archive)"
    exit 77
fi
. "$ROOT/scripts/lib/chroot.sh"
# A cache of its own, so the root is made from nothing. Whatever the scripts under test leave
# mounted there is unmounted here, by this test's own means, before anything is removed.
export PELOMVIN_CACHE=$WORK/cache
unmount_work() {
    local point
    for _ in 1 2 3; do
        { findmnt -rn -o TARGET | grep "^$WORK/" || true; } | sort -r | while read -r point; do
            umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
        done
    done
}
trap 'unmount_work; cleanup' EXIT
check_script=$ROOT/scripts/release/check-linux-bare.sh

dev_before=$(find /dev -maxdepth 1 | sort)
dev_intact() {
    [ "$(find /dev -maxdepth 1 | sort)" = "$dev_before" ] && [ -c /dev/null ] && [ -c /dev/zero ] &&
        echo probe >/dev/null
}
mounts_left() { findmnt -rn -o TARGET | grep -c "^$WORK/" || true; }

# Starts a run in a process group of its own and stops it with SIGNAL, sent to TARGET (pid:
# the script alone; group: everything it started), once the half-made root has the machine's
# /dev mounted in it.
interrupt() { # SIGNAL TARGET
    setsid bash "$check_script" --suite bookworm "$archive" >"$WORK/run.out" 2>&1 &
    local pid=$! waited=0
    until findmnt -rn -o TARGET | grep -q "^$WORK/cache/.*\.partial/dev$"; do
        sleep 1
        waited=$((waited + 1))
        kill -0 "$pid" 2>/dev/null || { echo "  the run ended before its root had /dev"; return 1; }
        [ "$waited" -lt 600 ] || { echo "  no /dev in the root after 600 s"; return 1; }
    done
    sleep 2
    if [ "$2" = group ]; then kill "-$1" -- "-$pid"; else kill "-$1" "$pid"; fi
    wait "$pid" 2>/dev/null || true
    # What the group started may take a moment to go.
    for _ in $(seq 1 30); do pgrep -g "$pid" >/dev/null || break; sleep 1; done
    echo "  stopped by $1 ($2) after ${waited} s of set-up"
}

check "TERM during the root's set-up stops the run" interrupt TERM pid
check "... and leaves nothing mounted ($(mounts_left) mount points)" test "$(mounts_left)" -eq 0
check "... and /dev as it was" dev_intact

check "KILL to the whole group during the root's set-up stops the run" interrupt KILL group
echo "  left mounted by the killed run: $(mounts_left) mount points"
check "... and /dev as it was" dev_intact

set +e
bash "$check_script" --suite bookworm "$archive" >"$WORK/next.out" 2>&1
status=$?
set -e
grep -E '^(PASS|FAIL)|passed,' "$WORK/next.out" | sed 's/^/    /'
check "the next run takes the half-made root away and passes (status $status)" test "$status" -eq 0
check "... leaving nothing mounted" test "$(mounts_left)" -eq 0
check "... and /dev as it was" dev_intact
finish
