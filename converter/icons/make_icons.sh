#!/bin/sh
# Draws the converter's icons: a small display showing a dithered picture turning into
# pixel blocks, in the 16-colour Windows palette. Writes app.ico (32x32 and 16x16) and
# app32.ico (32x32). Needs ImageMagick's convert; the results are committed.
set -eu
cd "$(dirname "$0")"
convert=/usr/bin/convert

draw32() {
    "$convert" -size 32x32 xc:none \
        -fill '#808080' -draw 'roundrectangle 1,3 30,26 3,3' \
        -fill '#000000' -draw 'rectangle 4,6 27,22' \
        -fill '#00FF00' -draw 'rectangle 6,8 9,11' -draw 'rectangle 11,8 14,11' \
        -draw 'rectangle 16,13 19,16' -draw 'rectangle 21,18 24,20' \
        -fill '#008000' -draw 'rectangle 6,13 9,16' -draw 'rectangle 11,18 14,20' \
        -fill '#FFFF00' -draw 'rectangle 21,8 24,11' \
        -fill '#C0C0C0' -draw 'rectangle 12,27 19,28' -draw 'rectangle 8,29 23,30' \
        -fill '#0000C0' -draw 'line 16,8 19,11' -draw 'line 19,8 16,11' \
        -colors 16 "$1"
}

draw16() {
    "$convert" -size 16x16 xc:none \
        -fill '#808080' -draw 'rectangle 0,1 15,12' \
        -fill '#000000' -draw 'rectangle 2,3 13,10' \
        -fill '#00FF00' -draw 'rectangle 3,4 5,6' -draw 'rectangle 8,7 10,9' \
        -fill '#FFFF00' -draw 'rectangle 11,4 12,5' \
        -fill '#C0C0C0' -draw 'rectangle 5,13 10,14' \
        -colors 16 "$1"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
draw32 "$tmp/a32.png"
draw16 "$tmp/a16.png"
"$convert" "$tmp/a32.png" "$tmp/a16.png" -type Palette -colors 16 -depth 4 app.ico
"$convert" "$tmp/a32.png" -type Palette -colors 16 -depth 4 app32.ico
