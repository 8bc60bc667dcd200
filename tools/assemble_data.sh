#!/bin/sh
# assemble_data.sh DIR OUT: puts DIR/00.mid, DIR/01.pcx ... DIR/85.pcx together into
# the data file OUT with Allegro's dat, in index order (the game addresses objects by
# index only). Pictures are stored as 16-bit bitmaps (the pictures are drawn on the
# 16-bit colour grid, so nothing is lost, and the game's screen needs no conversion),
# tunes as MIDI objects. No compression: the game checks the raw structure before
# loading. -s1 drops source paths and dates, so every build gives the same bytes.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: assemble_data.sh DIR OUT" >&2
    exit 2
fi
dir=$1
out=$2
tmp="$out.part"
rm -f "$tmp"

is_tune() {
    [ "$1" = 00 ] || [ "$1" = 66 ]
}

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

i=0
while [ $i -le 85 ]; do
    nn=$(printf '%02d' $i)
    if is_tune "$nn"; then
        type=MIDI
        file="$dir/$nn.mid"
    else
        type=BMP
        file="$dir/$nn.pcx"
    fi
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
    i=$((i + 1))
done
flush
mv "$tmp" "$out"
