#!/usr/bin/env bash
# Fetches Debian source packages at pinned versions and unpacks them, checked:
#   fetch-debian-source.sh [--files] DEST NAME=VERSION=DSC_SHA256 ...
# leaves DEST/NAME (the unpacked tree, Debian's patches applied) for each package; with
# --files, the checked source package itself (the .dsc and the files it lists) in DEST, as a
# library's licence may ask it to be carried.
#
# The machine's apt configuration is never touched: apt reads a private sources list
# (deb-src lines for the Debian mirrors and suites the machine already uses) and keeps its
# lists and caches in a folder of its own under the cache. apt checks each .dsc against the
# signed Sources index; the .dsc's own SHA-256 must also be the pinned one, and every file
# it lists must match its SHA-256 there. An upstream signature (.asc) that the mirror does
# not serve (mpg123's answers 404) is the only file allowed to be missing.
set -euo pipefail

files_only=""
if [ "${1-}" = --files ]; then
    files_only=yes
    shift
fi
if [ $# -lt 2 ] || [ "$1" = --help ] || [ "$1" = -h ]; then
    echo "usage: $0 [--files] DEST NAME=VERSION=DSC_SHA256 ..." >&2
    [ $# -ge 1 ] && [[ $1 == -* ]] && exit 0
    exit 2
fi
dest=$1
shift
cache=${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}
apt_dir=$cache/apt
downloads=$cache/sources
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$downloads" "$dest"
# One fetch at a time: the Linux and Windows library builds share these lists and downloads.
exec 8>"$apt_dir/.lock"
flock 8

# deb-src lines for the Debian mirrors the machine's own apt reads (one-line .list files and
# deb822 .sources files), for Debian 12's suites whatever release the machine runs (the
# release builds in a Debian 11 root); deb.debian.org if none are found.
write_sources() {
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
        local f
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [ -f "$f" ] || continue
            awk '$1 == "deb" {
                    i = 2; if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                    if ($i ~ /debian/) print $i, $(i+1)
                 }' "$f"
        done
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] || continue
            awk 'function flush() {
                    if (types ~ /(^| )deb( |$)/ && uris ~ /debian/ && comps ~ /(^| )main( |$)/) {
                        n = split(uris, u, " "); m = split(suites, s, " ")
                        for (a = 1; a <= n; a++) for (b = 1; b <= m; b++) print u[a], s[b]
                    }
                    types = uris = suites = comps = ""
                 }
                 /^[ \t]*$/ { flush(); next }
                 /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
                 /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
                 /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
                 /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0 }
                 END { flush() }' "$f"
        done
    } | sed -E 's#/updates$#-security#; s# [a-z]+(-updates|-security)?$# bookworm\1#' |
        grep -E ' bookworm(-updates|-security)?$' | sort -u >"$apt_dir/found" || true
    if [ ! -s "$apt_dir/found" ]; then
        printf '%s\n' "http://deb.debian.org/debian bookworm" \
            "http://deb.debian.org/debian bookworm-updates" \
            "http://deb.debian.org/debian-security bookworm-security" >"$apt_dir/found"
    fi
    while read -r uri suite; do
        echo "deb-src [signed-by=$keyring] $uri $suite main"
    done <"$apt_dir/found" >"$apt_dir/sources.list"
}

apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o APT::Sandbox::User=root -q)

# The files a .dsc lists, as "sha256 name" lines.
dsc_files() {
    awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && NF == 3 { print $1, $3 }' "$1"
}

verified() { # NAME VERSION DSC_SHA256: are the downloaded files there and right?
    local dsc=$downloads/${1}_${2#*:}.dsc sum name
    [ -f "$dsc" ] || return 1
    [ "$(sha256sum <"$dsc" | cut -d' ' -f1)" = "$3" ] || return 1
    while read -r sum name; do
        if [ ! -f "$downloads/$name" ]; then
            [[ $name == *.asc ]] && continue
            return 1
        fi
        [ "$(sha256sum <"$downloads/$name" | cut -d' ' -f1)" = "$sum" ] || return 1
    done < <(dsc_files "$dsc")
}

updated=""
for entry in "$@"; do
    IFS='=' read -r name version sum <<<"$entry"
    if ! verified "$name" "$version" "$sum"; then
        if [ -z "$updated" ]; then
            write_sources
            echo "apt: reading Debian's source index ($(wc -l <"$apt_dir/sources.list") suites, private lists)" >&2
            apt-get "${apt_options[@]}" update >"$apt_dir/update.log" 2>&1 ||
                { cat "$apt_dir/update.log" >&2; echo "error: apt-get update (private lists) failed" >&2; exit 1; }
            updated=yes
        fi
        echo "apt: fetching the source of $name $version" >&2
        (cd "$downloads" && apt-get "${apt_options[@]}" source --download-only "$name=$version" \
            >"$apt_dir/source-$name.log" 2>&1) || true
        if ! verified "$name" "$version" "$sum"; then
            cat "$apt_dir/source-$name.log" >&2
            echo "error: the source of $name $version is missing or does not match its pinned .dsc ($sum)" >&2
            exit 1
        fi
    fi
    dsc=$downloads/${name}_${version#*:}.dsc
    if [ -n "$files_only" ]; then
        cp "$dsc" "$dest/"
        while read -r _ file; do
            [ ! -f "$downloads/$file" ] || cp "$downloads/$file" "$dest/"
        done < <(dsc_files "$dsc")
        echo "source: $name $version checked and copied as it is" >&2
        continue
    fi
    rm -rf "${dest:?}/$name"
    # dpkg-source checks every listed file against the .dsc itself; only where an upstream
    # signature is absent does it stop, and then the check above is the one that counts.
    check=()
    while read -r _ file; do
        [ -f "$downloads/$file" ] || check=(--no-check)
    done < <(dsc_files "$dsc")
    dpkg-source "${check[@]}" --no-copy -x "$dsc" "$dest/$name" >"$apt_dir/unpack-$name.log" 2>&1 ||
        { cat "$apt_dir/unpack-$name.log" >&2; echo "error: could not unpack $name" >&2; exit 1; }
    echo "source: $name $version checked against its .dsc and unpacked" >&2
done
