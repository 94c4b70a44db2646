# Sourced by the scripts that work in Debian roots made with debootstrap: the release's build
# root and the checks on bare and fresh systems. Needs root.
#
# A root has the machine's /dev, /proc and /sys mounted in it while programs run there. Every
# removal unmounts whatever is mounted under the folder first, refuses to go on if anything
# stays mounted, and never leaves the folder's own file system: a root left half made by a
# killed run can then be removed without reaching into the machine's own /dev.
#
#   root_traps                    ends background jobs and unmounts, on exit and on INT, TERM, HUP
#   make_root SUITE DIR LOG PKG...  debootstrap --variant=minbase SUITE into DIR, with PKG...
#                                 added; built in DIR.partial, kept once complete (DIR/.ready)
#   enter_root DIR                mounts /dev (with pts and shm), /proc and /sys in DIR
#   leave_root DIR                unmounts everything under DIR
#   remove_root DIR               leave_root, then removes DIR
#   in_root DIR COMMAND...        runs COMMAND in DIR with a clean environment
#   waited COMMAND...             runs COMMAND so that a signal to this script ends it at once
#   debian_mirror, security_mirror  the mirrors the machine's apt uses

debian_mirror() {
    local found
    found=$( (grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
              grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
                  sed 's/\[[^]]*\]//' | awk '{print $2}') | grep -E '/debian/?$' | head -n 1 || true)
    echo "${found:-http://deb.debian.org/debian}"
}

security_mirror() {
    local found
    found=$( (grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
              grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
                  sed 's/\[[^]]*\]//' | awk '{print $2}') | grep -E '/debian-security/?$' | head -n 1 || true)
    echo "${found:-http://deb.debian.org/debian-security}"
}

# The roots this script has entered; unmounted again on exit, whatever ends the script.
entered_roots=()

# Stops a process and everything it started (a debootstrap, an apt-get, a test run).
_kill_tree() {
    local child
    kill -STOP "$1" 2>/dev/null || true
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do _kill_tree "$child"; done
    kill -TERM "$1" 2>/dev/null || true
    kill -CONT "$1" 2>/dev/null || true
}

_root_cleanup() {
    local status=$? job dir
    trap - EXIT HUP INT TERM
    for job in $(jobs -p); do _kill_tree "$job"; done
    wait 2>/dev/null || true
    for dir in "${entered_roots[@]}"; do leave_root "$dir" || true; done
    exit "$status"
}

root_traps() {
    trap _root_cleanup EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# The mount points at or under DIR, deepest first.
_mounts_under() {
    local dir
    dir=$(realpath -m "$1")
    findmnt -rn -o TARGET | sed 's/\\x20/ /g' | awk -v d="$dir" '$0 == d || index($0, d "/") == 1' |
        awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2-
}

leave_root() {
    local dir=$1 point tries
    for tries in 1 2 3; do
        [ -n "$(_mounts_under "$dir")" ] || return 0
        while IFS= read -r point; do
            [ -n "$point" ] || continue
            umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
        done < <(_mounts_under "$dir")
    done
    if [ -n "$(_mounts_under "$dir")" ]; then
        echo "error: still mounted under $dir:" $(_mounts_under "$dir") >&2
        return 1
    fi
}

remove_root() {
    local dir=$1
    [ -e "$dir" ] || return 0
    case $(realpath -m "$dir") in
    / | /dev* | /proc* | /sys* | /usr* | /etc* | /root | /home | /var | /tmp)
        echo "error: refusing to remove $dir" >&2
        return 1
        ;;
    esac
    leave_root "$dir" || { echo "error: $dir is left in place" >&2; return 1; }
    rm -rf --one-file-system "$dir"
}

enter_root() {
    local dir=$1
    entered_roots+=("$dir")
    mount --bind /dev "$dir/dev"
    # What is mounted under the root's /dev must never show in the machine's own, wherever
    # the machine's mounts are shared (systemd makes them so).
    mount --make-rslave "$dir/dev"
    mkdir -p "$dir/dev/pts" "$dir/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$dir/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$dir/dev/shm"
    mount -t proc proc "$dir/proc"
    mount -t sysfs sysfs "$dir/sys"
}

in_root() {
    local dir=$1
    shift
    chroot "$dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"
}

waited() {
    "$@" &
    wait $!
}

# Runs a long command with its output in LOG, showing that it is alive: one redrawn line on a
# terminal, a plain line every 30 seconds otherwise. On failure the log's end is shown.
_logged() {
    local what=$1 log=$2 start=$SECONDS last=0 pid status=0
    shift 2
    ("$@") >>"$log" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        sleep 2
        local t=$((SECONDS - start))
        if [ -t 2 ]; then
            printf '\r  %s: %d s' "$what" "$t" >&2
        elif [ $((t - last)) -ge 30 ]; then
            echo "  $what: $t s" >&2
            last=$t
        fi
    done
    wait "$pid" || status=$?
    [ -t 2 ] && printf '\r\033[K' >&2
    if [ "$status" -ne 0 ]; then
        tail -n 20 "$log" >&2
        echo "error: $what failed (status $status); the whole log is $log" >&2
        return 1
    fi
    echo "  $what: done in $((SECONDS - start)) s" >&2
}

make_root() {
    local suite=$1 dir=$2 log=$3 lock status=0
    shift 3
    mkdir -p "$(dirname "$dir")"
    # One maker at a time; a second script waits, then finds the root made.
    exec {lock}>"$dir.lock"
    flock "$lock"
    [ -f "$dir/.ready" ] || _make_root "$suite" "$dir" "$log" "$@" || status=$?
    exec {lock}>&-
    return "$status"
}

_make_root() {
    local suite=$1 dir=$2 log=$3
    shift 3
    command -v debootstrap >/dev/null ||
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >&2
    local partial=$dir.partial mirror security
    mirror=$(debian_mirror)
    security=$(security_mirror)
    remove_root "$partial" || return 1
    remove_root "$dir" || return 1
    : >"$log"
    echo "making a minimal Debian $suite root from $mirror (once; kept in $dir)" >&2
    _logged "debootstrap $suite" "$log" debootstrap --variant=minbase "$suite" "$partial" "$mirror" ||
        { leave_root "$partial"; return 1; }
    {
        echo "deb $mirror $suite main"
        echo "deb $mirror $suite-updates main"
        echo "deb $security $suite-security main"
    } >"$partial/etc/apt/sources.list"
    if [ $# -gt 0 ]; then
        enter_root "$partial"
        if ! _logged "installing $*" "$log" in_root "$partial" sh -c \
            "DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
             DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $* &&
             apt-get clean"; then
            leave_root "$partial"
            return 1
        fi
        leave_root "$partial" || return 1
    fi
    touch "$partial/.ready"
    mv "$partial" "$dir"
}
