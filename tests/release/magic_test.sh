#!/usr/bin/env bash
# `file -m zentra.magic` must name converted Zentra files, describe their first record
# (size, depth, lay-out, delta flag), give their MIME type, and leave other files alone.
#   magic_test.sh ZTR MAGIC SAMPLES_DIR
set -euo pipefail
ztr=$1
magic=$2
samples=$3

. "$(dirname "$0")/check_support.sh"

expect() { # file expected-description
    local actual
    actual=$(file -b -m "$magic" "$1")
    [ "$actual" = "$2" ] || fail "$(basename "$1"): got '$actual', expected '$2'"
}

cp "$samples/shapes_84x48.pbm" "$samples/grey_gradient_75x33.pgm" \
    "$samples/anim_0.pgm" "$samples/anim_1.pgm" "$work/"
profiles=$(dirname "$magic")/displays.prf
"$ztr" convert --profiles "$profiles" --type pcd8544 --type grey8 "$work/shapes_84x48.pbm"
"$ztr" convert --profiles "$profiles" --code 0x80001 "$work/grey_gradient_75x33.pgm"
"$ztr" convert --profiles "$profiles" --animation --delay 40 --type epaper_bottom_up \
    "$work/anim_0.pgm" "$work/anim_1.pgm"

# Hand-made records: a delta record of 5 x 3 at depth 8 with lay-out byte 0x31 (column order,
# inverted Y-axis, delta), a record with a broken signature, and one whose length is below
# the 12 bytes of its own header.
printf '\x1a\x00\x00\x00\x02\xa2\x31\x08\x05\x00\x03\x00\x64\x00\x01\x00\x02\x00\x00\x0e\x00\x00\x00\x00\x00\x00' \
    >"$work/delta.ztr"
printf '\x0e\x00\x00\x00\x02\xa3\x00\x01\x02\x00\x01\x00\x00\x00' >"$work/bad_signature.ztr"
printf '\x0b\x00\x00\x00\x02\xa2\x00\x01\x02\x00\x01\x00\x00\x00' >"$work/short_length.ztr"

expect "$work/shapes_84x48.ztr" "Zentra image data, 84 x 48 monochrome, layout 06"
expect "$work/grey_gradient_75x33.ztr" "Zentra image data, 75 x 33, colour depth 8 bits, layout 01"
expect "$work/anim_0.ztr" "Zentra image data, 97 x 45 monochrome, layout 10"
expect "$work/delta.ztr" "Zentra image data, 5 x 3, colour depth 8 bits, layout 11, delta frame"
expect "$work/bad_signature.ztr" "data"
expect "$work/short_length.ztr" "data"
expect "$work/shapes_84x48.pbm" "data"

mime=$(file -b --mime-type -m "$magic" "$work/shapes_84x48.ztr")
if [ "$mime" != "image/x-zentra" ]; then
    fail "MIME type '$mime', expected 'image/x-zentra'"
fi

[ $failures -eq 0 ] || exit 1
echo "zentra.magic recognises converted files"
