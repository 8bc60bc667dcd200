#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# make_patches.sh OUT TUNE.mid... | make_patches.sh OUT DIR (every DIR/*.mid)
# Builds the patch set that Allegro's software MIDI synth (DIGMID) plays the tunes
# with, from Debian's freepats. DIGMID reads Gravis-style sets: programs numbered
# 1-128, drums in a "129 begin_multipatch" block, short patch names, paths relative
# to the cfg. So this writes such a default.cfg over short-named links to the
# freepats files, then lets pat2dat keep only the instruments the tunes use.
# Without freepats (or pat2dat) it warns and writes nothing: the game runs silent.
# freepats is under the GNU GPL, version 2 or later (with an exception for compositions that
# use it), and so is patches.dat: the packages' copyright file (desktop/copyright) says so.
# FREEPATS_DIR overrides where freepats is looked for.
set -eu

if [ "$#" -lt 2 ]; then
    echo "usage: make_patches.sh OUT TUNE.mid..." >&2
    exit 2
fi
out=$1
shift
if [ "$#" -eq 1 ] && [ -d "$1" ]; then
    set -- "$1"/*.mid
fi

freepats=${FREEPATS_DIR:-/usr/share/midi/freepats}
if [ ! -d "$freepats/Tone_000" ] || [ ! -d "$freepats/Drum_000" ]; then
    echo "make_patches.sh: warning: freepats not found in $freepats; no $out, the game will have no music" >&2
    exit 0
fi
if ! command -v pat2dat >/dev/null 2>&1; then
    echo "make_patches.sh: warning: pat2dat not found; no $out, the game will have no music" >&2
    exit 0
fi

# Absolute tune paths, since pat2dat runs from the temp dir; the list replaces the arguments.
count=$#
for tune in "$@"; do
    case $tune in
        /*) ;;
        *) tune=$(pwd)/$tune ;;
    esac
    if [ ! -f "$tune" ]; then
        echo "make_patches.sh: no such tune: $tune" >&2
        exit 1
    fi
    set -- "$@" "$tune"
done
shift "$count"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# freepats names its files NNN_Name.pat with NNN the 0-based program (Tone_000) or
# the drum key (Drum_000). The glob sorts them, so the cfg is the same on every build.
number_of() {
    # Leading zeros stripped by hand: sh arithmetic would read 0NN as octal.
    n=$(basename "$1" | sed -e 's/_.*//' -e 's/^0*//')
    echo "${n:-0}"
}

# Links each NNN_Name.pat of a freepats folder under a short name (PREFIX and the
# three digits) and writes its cfg line: the number NNN plus OFFSET, then the name.
link_patches() {
    folder=$1 prefix=$2 offset=$3
    for patch in "$freepats/$folder"/[0-9][0-9][0-9]_*.pat; do
        [ -f "$patch" ] || continue
        number=$(number_of "$patch")
        name=$(printf '%s%03d' "$prefix" "$number")
        ln -s "$patch" "$work/$name.pat"
        echo "$((number + offset)) $name" >> "$cfg"
    done
}

cfg=$work/default.cfg
: > "$cfg"
link_patches Tone_000 p 1  # DIGMID numbers programs from 1
echo "129 begin_multipatch" >> "$cfg"
link_patches Drum_000 d 0  # drums by key
echo "end_multipatch" >> "$cfg"

(cd "$work" && pat2dat -o patches.dat default.cfg "$@" > pat2dat.log 2>&1) || {
    cat "$work/pat2dat.log" >&2
    echo "make_patches.sh: pat2dat failed" >&2
    exit 1
}
mv "$work/patches.dat" "$out"
