#!/usr/bin/env bash
# The shared-mime-info entry (data/zentra-mime.xml): a MIME database built from it alone
# names converted Zentra files "Zentra image file" by their extension and by their content,
# with the type that zentra.magic gives, and leaves other files alone.
#   mime_test.sh ZTR MIME_XML MAGIC SAMPLES_DIR
set -euo pipefail
ztr=$1
mime_xml=$2
magic=$3
samples=$4

. "$(dirname "$0")/check_support.sh"

mkdir -p "$work/mime/packages"
cp "$mime_xml" "$work/mime/packages/zentra.xml"
update-mime-database "$work/mime" 2>/dev/null

type=$(sed -n 's/^!:mime[[:space:]]*//p' "$magic")
[ "$type" = "image/x-zentra" ] || fail "zentra.magic gives the type '$type'"
grep -q '<comment>Zentra image file</comment>' "$work/mime/$type.xml" ||
    fail "the database has no comment 'Zentra image file' for $type"

content_type() {
    XDG_DATA_HOME=$work XDG_DATA_DIRS=$work gio info -a standard::content-type "$1" |
        sed -n 's/^ *standard::content-type: //p'
}

cp "$samples/shapes_84x48.pbm" "$samples/anim_0.pgm" "$samples/anim_1.pgm" "$work/"
profiles=$(dirname "$magic")/displays.prf
"$ztr" convert --profiles "$profiles" --type pcd8544 --type grey8 "$work/shapes_84x48.pbm"
"$ztr" convert --profiles "$profiles" --animation --delay 40 --type epaper_bottom_up \
    "$work/anim_0.pgm" "$work/anim_1.pgm"
for name in shapes_84x48 anim_0; do
    cp "$work/$name.ztr" "$work/$name.data"
    for file in "$work/$name.ztr" "$work/$name.data"; do
        actual=$(content_type "$file")
        [ "$actual" = "$type" ] || fail "$(basename "$file") is '$actual', expected '$type'"
    done
done
actual=$(content_type "$work/shapes_84x48.pbm")
[ "$actual" != "$type" ] || fail "shapes_84x48.pbm is taken for a Zentra file"

[ $failures -eq 0 ] || exit 1
echo "mime entry: $type named by extension and content"
