#!/usr/bin/env bash
# The .deb that CPack builds from the native build: package name, version and dependencies,
# the files it holds, and a ztr unpacked from it that converts with its own profile file.
#   deb_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2

. "$(dirname "$0")/check_support.sh"

version=$(zentra_version "$source")
(cd "$build" && cpack -G DEB -B "$work/packages" >/dev/null)
deb=$work/packages/ztr_${version}_amd64.deb
if [ ! -f "$deb" ]; then
    ls "$work/packages" >&2
    fail "no ztr_${version}_amd64.deb"
    exit 1
fi

[ "$(dpkg-deb -f "$deb" Package)" = "ztr" ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "amd64" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
# The C library and the picture libraries: libpng (PNG, and zlib under it), giflib and
# libjpeg-turbo.
for package in libc6 libpng16-16 zlib1g libgif7 libjpeg62-turbo; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends '$depends' lacks $package"
done

listing=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for expected in ./usr/bin/ztr ./usr/share/zentra/displays.prf ./usr/share/zentra/zentra.magic \
    ./usr/share/man/man1/ztr.1 ./usr/share/doc/ztr/copyright ./usr/share/mime/packages/zentra.xml; do
    grep -qx -- "$expected" <<<"$listing" || fail "the package lacks $expected"
done
if grep -v '^\./usr/' <<<"$listing" | grep -qv '^\./$'; then
    fail "the package installs outside /usr: $(grep -v '^\./usr/' <<<"$listing" | tr '\n' ' ')"
fi

dpkg-deb -x "$deb" "$work/root"
cp "$source/data/samples/grey_gradient_75x33.pgm" "$work/"
mkdir "$work/reference"
cp "$source/data/samples/grey_gradient_75x33.pgm" "$work/reference/"
"$work/root/usr/bin/ztr" convert --type grey8 --type st7920 "$work/grey_gradient_75x33.pgm"
"$build/cli/ztr" convert --profiles "$source/data/displays.prf" --type grey8 --type st7920 \
    "$work/reference/grey_gradient_75x33.pgm"
cmp "$work/grey_gradient_75x33.ztr" "$work/reference/grey_gradient_75x33.ztr" ||
    fail "the packaged ztr wrote other bytes"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$deb"): $(wc -l <<<"$listing") entries, Depends: $depends"
