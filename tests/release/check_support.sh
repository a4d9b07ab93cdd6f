# What every release check shares, read with `.` at its start: a scratch folder $work that
# goes away at exit, and fail(), which reports a failed expectation and counts it in
# $failures; a check ends with `[ $failures -eq 0 ] || exit 1`.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# zentra_version SOURCE_DIR: the tools' version as format/version.h writes it.
zentra_version() {
    local parts
    parts=$(sed -n 's/^#define ZENTRA_VERSION_\(MAJOR\|MINOR\|BUILD\) \([0-9]*\)$/\2/p' \
        "$1/format/version.h")
    echo $parts | tr ' ' '.'
}
