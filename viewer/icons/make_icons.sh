#!/bin/sh
# Draws the viewer's icons: a small display showing a pixel picture under a magnifying
# glass, in the 16-colour Windows palette. Writes app.ico (32x32 and 16x16) and
# app32.ico (32x32). Needs ImageMagick's convert; the results are committed.
set -eu
cd "$(dirname "$0")"
convert=/usr/bin/convert

draw32() {
    "$convert" -size 32x32 xc:none \
        -fill '#808080' -draw 'roundrectangle 1,3 30,26 3,3' \
        -fill '#000080' -draw 'rectangle 4,6 27,22' \
        -fill '#00FFFF' -draw 'rectangle 6,8 9,11' -draw 'rectangle 10,12 13,15' \
        -draw 'rectangle 6,16 9,19' \
        -fill '#C0C0C0' -draw 'rectangle 12,27 19,28' -draw 'rectangle 8,29 23,30' \
        -fill none -stroke '#FFFF00' -strokewidth 2 -draw 'circle 19,13 19,8' \
        -stroke '#800000' -strokewidth 3 -draw 'line 23,17 28,23' \
        -colors 16 "$1"
}

draw16() {
    "$convert" -size 16x16 xc:none \
        -fill '#808080' -draw 'rectangle 0,1 15,12' \
        -fill '#000080' -draw 'rectangle 2,3 13,10' \
        -fill '#00FFFF' -draw 'rectangle 3,4 4,5' -draw 'rectangle 5,6 6,7' \
        -fill none -stroke '#FFFF00' -draw 'circle 9,6 9,3' \
        -stroke '#800000' -strokewidth 2 -draw 'line 11,8 14,11' \
        -stroke none -fill '#C0C0C0' -draw 'rectangle 5,13 10,14' \
        -colors 16 "$1"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
draw32 "$tmp/a32.png"
draw16 "$tmp/a16.png"
"$convert" "$tmp/a32.png" "$tmp/a16.png" -type Palette -colors 16 -depth 4 app.ico
"$convert" "$tmp/a32.png" -type Palette -colors 16 -depth 4 app32.ico
