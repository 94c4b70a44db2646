#!/bin/sh
# Starts the show fullscreen at the desktop's own size (--desktop), and silently with a
# one-line notice where no sound device opens (--sound auto). Words given here go to the
# program (./demo --help lists them) and win over those two: a size of the user's replaces
# the desktop's, and a --sound of the user's replaces auto. Works from any folder and
# through a symbolic link: the show's files are found beside the real file.
here=$(dirname "$(readlink -f "$0")") && cd "$here" || exit 1
desktop=--desktop sound=auto value_next=""
for word in "$@"; do
    if [ -n "$value_next" ]; then
        value_next=""
        continue
    fi
    case $word in
    --sound) sound="" value_next=yes ;;
    --from | --scene | --offset) value_next=yes ;;
    --desktop) desktop="" ;; # the user's own, passed on with the rest
    --*) ;;
    *) desktop="" ;; # WIDTH HEIGHT [w]: a size of the user's
    esac
done
[ -z "$sound" ] || set -- --sound "$sound" "$@"
exec ./demo $desktop "$@"
