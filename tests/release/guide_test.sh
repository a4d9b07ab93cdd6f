#!/usr/bin/env bash
# The built usage guide: its first page, rendered by pdftoppm, carries ink (is not blank);
# the PDF has every chapter a user needs, the four lay-out drawings, the screenshots and the
# version.
#   guide_test.sh ZENVIEW_PDF SOURCE_DIR
set -euo pipefail
pdf=$1

. "$(dirname "$0")/check_support.sh"
version=$(zentra_version "$2")

# First page as an 8-bit grey PGM at 30 dots per inch; count the pixels darker than 200.
pdftoppm -f 1 -l 1 -r 30 -gray -singlefile "$pdf" "$work/page1"
read -r total dark < <(
    od -An -v -tu1 "$work/page1.pgm" | awk '
        { for (i = 1; i <= NF; i++) bytes[n++] = $i }
        END {
            # Header: "P5", width, height, maxval, each ended by white space.
            fields = 0; pos = 0; value = ""
            while (fields < 4) {
                c = bytes[pos++]
                if (c == 9 || c == 10 || c == 13 || c == 32) {
                    if (value != "") { header[fields++] = value; value = "" }
                } else {
                    value = value sprintf("%c", c)
                }
            }
            total = header[1] * header[2]
            for (i = pos; i < pos + total; i++) if (bytes[i] < 200) dark++
            print total, dark + 0
        }')
if [ "$total" -lt 10000 ]; then
    fail "first page is only $total pixels"
elif [ $((dark * 100)) -lt $((total * 1)) ]; then
    fail "first page is blank: $dark of $total pixels dark"
elif [ $((dark * 100)) -gt $((total * 60)) ]; then
    fail "first page is mostly dark: $dark of $total pixels"
fi

pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" -ge 6 ] || fail "the guide has $pages pages"

text=$(pdftotext -layout "$pdf" - | tr -s ' \n' '  ')
for needed in \
    "Usage guide" "$version" \
    "What a Zentra file holds" "record length" "signature" \
    "The lay-outs" "row order (0)" "column order (1)" "banded rows (2)" "banded columns (3)" \
    "Reversed pixel order" "Inverted Y-axis" \
    "Describing your displays: displays.prf" "NAME LAYOUT ; DEPTH DESCRIPTION" \
    "Converting pictures: zenconv" "Add file" "Add bitmap/display type" "Animation" \
    "Looking at Zentra files: zenview" "Zoom 400%" "Invert" "Build up full frame" \
    "The command line: ztr" "ztr convert" "ztr render"; do
    grep -qF -- "$needed" <<<"$text" || fail "the guide does not mention '$needed'"
done

# The screenshots of both programs are embedded as images.
images=$(pdfimages -list "$pdf" | awk 'NR > 2 && $3 == "image"' | wc -l)
[ "$images" -ge 10 ] || fail "the guide holds $images images, expected the 10 screenshots"

[ $failures -eq 0 ] || exit 1
echo "zenview.pdf: $pages pages, $images images, first page $dark of $total pixels dark"
