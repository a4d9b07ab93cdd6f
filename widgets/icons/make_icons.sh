#!/bin/sh
# Draws the icons of both programs: a small display on a stand, in the 16-colour Windows
# palette, its screen showing the converter's dithered picture turning into pixel blocks or
# the viewer's pixel picture under a magnifying glass. Writes app.ico (32x32 and 16x16) and
# app32.ico (32x32) into converter/icons and viewer/icons. Needs ImageMagick's convert; the
# results are committed.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
convert=/usr/bin/convert

# Per program and size: the screen's colour and its picture, in ImageMagick's drawing
# language. Only the pictures differ between the programs.
converter_screen='#000000'
converter32='fill #00FF00 rectangle 6,8 9,11 rectangle 11,8 14,11
    rectangle 16,13 19,16 rectangle 21,18 24,20
    fill #008000 rectangle 6,13 9,16 rectangle 11,18 14,20
    fill #FFFF00 rectangle 21,8 24,11
    fill #0000C0 line 16,8 19,11 line 19,8 16,11'
converter16='fill #00FF00 rectangle 3,4 5,6 rectangle 8,7 10,9
    fill #FFFF00 rectangle 11,4 12,5'
viewer_screen='#000080'
viewer32='fill #00FFFF rectangle 6,8 9,11 rectangle 10,12 13,15 rectangle 6,16 9,19
    fill none stroke #FFFF00 stroke-width 2 circle 19,13 19,8
    stroke #800000 stroke-width 3 line 23,17 28,23'
viewer16='fill #00FFFF rectangle 3,4 4,5 rectangle 5,6 6,7
    fill none stroke #FFFF00 circle 9,6 9,3
    stroke #800000 stroke-width 2 line 11,8 14,11'

# display OUTPUT SIZE SCREEN_COLOUR PICTURE: the display, 32 or 16 pixels square.
display() {
    if [ "$2" = 32 ]; then
        frame='roundrectangle 1,3 30,26 3,3' screen='rectangle 4,6 27,22'
        stand='rectangle 12,27 19,28 rectangle 8,29 23,30'
    else
        frame='rectangle 0,1 15,12' screen='rectangle 2,3 13,10' stand='rectangle 5,13 10,14'
    fi
    "$convert" -size "$2x$2" xc:none -fill '#808080' -draw "$frame" -fill "$3" -draw "$screen" \
        -fill '#C0C0C0' -draw "$stand" -draw "$4" -colors 16 "$1"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for program in converter viewer; do
    eval "screen_colour=\$${program}_screen picture32=\$${program}32 picture16=\$${program}16"
    display "$tmp/a32.png" 32 "$screen_colour" "$picture32"
    display "$tmp/a16.png" 16 "$screen_colour" "$picture16"
    icons="$root/$program/icons"
    "$convert" "$tmp/a32.png" "$tmp/a16.png" -type Palette -colors 16 -depth 4 "$icons/app.ico"
    "$convert" "$tmp/a32.png" -type Palette -colors 16 -depth 4 "$icons/app32.ico"
done
