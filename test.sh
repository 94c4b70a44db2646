#!/usr/bin/env bash
# Set up and build as run.sh does, then run the tests headless. See --help.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

usage() {
    cat <<'TEXT'
Usage: ./test.sh [--all] [-- CTEST OPTION...]
Sets up and builds as ./run.sh does, then runs the tests headless, two at a time.

  (default)  every test but the long group: a contributor's answer in minutes
  --all      the long group too: the whole show under AddressSanitizer and
             UndefinedBehaviorSanitizer, under valgrind's memcheck, and the
             ten-minute soak (.ci/run runs this)
  --help     this text

The release group (the release scripts tested on an archive, as root) runs in
neither: .ci/run runs it after the release (ctest -L release).

Words after -- go to ctest, e.g. ./test.sh -- -R scenes.  or  ./test.sh --all -- -L long.
Exit status: 0 every test passed, 1 a test or the build failed, 2 bad command line.
TEXT
}

all=0
ctest_args=()
while [ $# -gt 0 ]; do
    case $1 in
    --all) all=1 ;;
    -h | --help)
        usage
        exit 0
        ;;
    --)
        shift
        ctest_args=("$@")
        break
        ;;
    *)
        echo "test.sh: unknown option '$1' (options for ctest go after --; see --help)" >&2
        exit 2
        ;;
    esac
    shift
done
# The release group needs a release archive and root; .ci/run runs it after the release.
if [ "$all" -eq 1 ]; then
    ctest_args=(-LE release "${ctest_args[@]}")
else
    ctest_args=(-LE 'long|release' "${ctest_args[@]}")
fi

"$here/scripts/setup.sh" || exit 1
cd "$here/build"
ctest --output-on-failure -j2 "${ctest_args[@]}" || exit 1
