#!/usr/bin/env bash
# `cmake --install` of the native build: ztr, its profile file where ztr finds it by itself,
# the magic file, the man page and the documents land under the prefix; the installed ztr
# converts without being told where the profiles are, byte for byte as the build tree's ztr
# does with the profile file named, and fails once the installed profile file is gone.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2

. "$(dirname "$0")/check_support.sh"

cmake --install "$build" --prefix "$work/prefix" >/dev/null
prefix=$work/prefix

for installed in bin/ztr share/zentra/displays.prf share/zentra/zentra.magic \
    share/man/man1/ztr.1 share/doc/ztr/copyright share/doc/ztr/README.md \
    share/doc/ztr/zenview.pdf share/mime/packages/zentra.xml; do
    [ -f "$prefix/$installed" ] || fail "$installed is not installed"
done
[ -x "$prefix/bin/ztr" ] || fail "bin/ztr is not executable"
cmp -s "$prefix/share/zentra/displays.prf" "$source/data/displays.prf" ||
    fail "installed displays.prf differs from data/displays.prf"
cmp -s "$prefix/share/man/man1/ztr.1" "$source/docs/ztr.1" || fail "installed ztr.1 differs"

# The installed copy, run from another folder, finds share/zentra/displays.prf.
mkdir "$work/installed" "$work/reference"
cp "$source/data/samples/shapes_84x48.pbm" "$work/installed/"
cp "$source/data/samples/shapes_84x48.pbm" "$work/reference/"
(cd "$work" && "$prefix/bin/ztr" convert --type pcd8544 --type grey8_columns installed/shapes_84x48.pbm)
"$build/cli/ztr" convert --profiles "$source/data/displays.prf" --type pcd8544 \
    --type grey8_columns "$work/reference/shapes_84x48.pbm"
cmp "$work/installed/shapes_84x48.ztr" "$work/reference/shapes_84x48.ztr" ||
    fail "the installed ztr wrote other bytes than the build tree's ztr"
[ "$("$prefix/bin/ztr" profiles)" = "$("$build/cli/ztr" profiles "$source/data/displays.prf")" ] ||
    fail "the installed ztr lists other profiles"

# Without the installed profile file the type names are unknown.
rm "$prefix/share/zentra/displays.prf"
rm -f "$work/installed/shapes_84x48.ztr"
if "$prefix/bin/ztr" convert --type pcd8544 "$work/installed/shapes_84x48.pbm" 2>/dev/null; then
    fail "the installed ztr converted without any profile file"
fi
[ ! -e "$work/installed/shapes_84x48.ztr" ] || fail "a file was written without profiles"

[ $failures -eq 0 ] || exit 1
echo "cmake --install: ztr converts from the prefix with its installed profiles"
