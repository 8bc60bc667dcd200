#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# assemble_data.sh DIR OUT LIST: puts the objects that the program LIST names (one
# "FILE TYPE" line each, in index order, e.g. "00.mid MIDI") together from DIR into
# the data file OUT with Allegro's dat (the game addresses objects by index only).
# Pictures are stored as 16-bit bitmaps (the pictures are drawn on the 16-bit colour
# grid, so nothing is lost, and the game's screen needs no conversion). No
# compression: the game checks the raw structure before loading. -s1 drops source
# paths and dates, so every build gives the same bytes.
set -eu

if [ $# -ne 3 ]; then
    echo "usage: assemble_data.sh DIR OUT LIST" >&2
    exit 2
fi
dir=$1
out=$2
tmp="$out.part"
rm -f "$tmp"
list=$("$3")

# dat takes one object type per call: add each run of same-type objects in one call.
run_type=""
run_files=""
flush() {
    if [ -n "$run_files" ]; then
        # shellcheck disable=SC2086  # file names are two digits and an extension
        dat "$tmp" -n0 -s1 -c0 -bpp 16 -t "$run_type" -a $run_files >/dev/null
    fi
    run_files=""
}

echo "$list" | {
    while read -r name type; do
        file="$dir/$name"
        if [ ! -f "$file" ]; then
            echo "assemble_data.sh: missing $file" >&2
            rm -f "$tmp"
            exit 1
        fi
        if [ "$type" != "$run_type" ]; then
            flush
            run_type=$type
        fi
        run_files="$run_files $file"
    done
    flush
}
mv "$tmp" "$out"
