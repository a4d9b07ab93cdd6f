#!/usr/bin/env bash
# scripts/install-packages, install-wine and test-windows on machines whose package registry
# fails: stand-ins for apt-get, dpkg, dpkg-query, sudo, id, cmake, ctest, cmake/wine-run and the
# 32-bit probe (tests/scripts/fakes/) play each machine of the table below. The stand-ins
# start /bin/bash directly rather than through env: they run a few hundred times.
#   wine_install_test.sh REPOSITORY
set -euo pipefail
repository=$1
fakes=$(cd "$(dirname "$0")/fakes" && pwd)

. "$(dirname "$0")/../release/check_support.sh"

# The scripts under test run from a copy of the repository's, beside the stand-in probe.
copy=$work/repository
mkdir -p "$copy/scripts" "$copy/cmake"
cp "$repository/scripts/install-packages" "$repository/scripts/install-wine" \
    "$repository/scripts/test-windows" "$copy/scripts/"
cp "$fakes/probe-32bit" "$copy/scripts/"
cp "$fakes/wine-run" "$copy/cmake/"

not_run="== 32-bit Windows tests not run:"
unmet="$not_run wine32 could not be installed (unmet dependencies)"

# The machine: user id | apt-get update failures | before: none, i386 (the architecture) or
# wine32 (and wine32:i386 installed) | packages apt cannot install (name=unmet or name=unknown)
# | packages a failed install leaves installed | native packages missing | runs 32-bit programs
# || what must happen: exit status | apt-get updates | architecture changes | i386 at the end |
# suites run | the one line expected in the output (- for none). Lists are separated by spaces.
cases=(
    "healthy, through sudo|1000|0|none|-|-|-|yes||0|1|add|yes|win32 win64|-"
    "wine32 installed before|1000|9|wine32|-|-|-|yes||0|0|-|yes|win32 win64|-"
    "update fails once, root|0|1|none|-|-|-|yes||0|2|add|yes|win32 win64|-"
    "update fails twice, old lists suffice|1000|9|none|-|-|-|yes||0|2|add|yes|win32 win64|-"
    "unmet dependencies|1000|9|none|wine32:i386=unmet|-|-|yes||0|2|add,remove|no|win64|$unmet"
    "unmet dependencies, i386 there before|1000|9|i386|wine32:i386=unmet|-|-|yes||0|2|-|yes|win64|$unmet"
    "unmet dependencies, a library left installed|0|9|none|wine32:i386=unmet|libc6:i386|-|yes||0|2|add|yes|win64|$unmet"
    "no i386 index|1000|9|none|wine32:i386=unknown|-|-|yes||0|2|add,remove|no|win64|$not_run wine32 could not be installed (Unable to locate package wine32:i386)"
    "no 32-bit programs|1000|9|none|-|-|-|no||0|0|-|no|win64|$not_run this machine cannot run 32-bit programs (a static 32-bit test program failed: Exec format error)"
    "wine64 and xvfb missing|1000|9|none|wine64=unknown xvfb=unknown|-|wine64 xvfb|yes||1|2|-|no|-|could not install wine64 xvfb (Unable to locate package wine64)"
)

# Every machine runs at once, each in a state folder of its own; the checks follow.
index=0
for case in "${cases[@]}"; do
    IFS='|' read -r _ uid update_failures before broken partial absent runs_32bit _ <<<"$case"
    state=$work/state$index
    index=$((index + 1))
    mkdir -p "$state/tmp"
    : >"$state/log"
    : >"$state/architectures"
    : >"$state/installed"
    : >"$state/absent"
    [ "$before" = none ] || echo i386 >"$state/architectures"
    [ "$before" = wine32 ] && printf '%s\n' wine32:i386 libc6:i386 >"$state/installed"
    [ "$absent" = - ] || printf '%s\n' $absent >"$state/absent"
    [ "$broken" = - ] && broken=""
    [ "$partial" = - ] && partial=""
    (
        status=0
        FAKE_STATE=$state FAKE_UID=$uid FAKE_UPDATE_FAILURES=$update_failures \
            FAKE_BROKEN=$broken FAKE_PARTIAL=$partial FAKE_RUNS_32BIT=$runs_32bit \
            PATH="$fakes:$PATH" TMPDIR=$state/tmp \
            "$copy/scripts/test-windows" >"$state/output" 2>&1 || status=$?
        echo "$status" >"$state/status"
    ) &
done
wait

count() { # text lines... : how many lines hold the text
    local text=$1 line found=0
    shift
    for line; do [[ "$line" = *"$text"* ]] && found=$((found + 1)); done
    echo "$found"
}

index=0
for case in "${cases[@]}"; do
    IFS='|' read -r name _ _ _ _ _ _ _ _ \
        want_status want_updates want_changes want_i386 want_suites want_line <<<"$case"
    state=$work/state$index
    index=$((index + 1))
    mapfile -t calls <"$state/log"
    mapfile -t output <"$state/output"
    mapfile -t architectures <"$state/architectures"
    status=$(<"$state/status")

    updates=$(count "apt-get update" "${calls[@]}")
    changes="" suites=""
    for call in "${calls[@]}"; do
        case $call in
        "dpkg --add-architecture i386") changes+=,add ;;
        "dpkg --remove-architecture i386") changes+=,remove ;;
        "ctest --preset win32 "*) suites+=" win32" ;;
        "ctest --preset win64 "*) suites+=" win64" ;;
        esac
    done
    changes=${changes#,} suites=${suites# }
    i386=no
    [ "$(count i386 "${architectures[@]}")" = 0 ] || i386=yes
    leftovers=$(cd "$state/tmp" && echo *)

    [ "$status" = "$want_status" ] || fail "$name: exit status $status, expected $want_status"
    [ "$updates" = "$want_updates" ] || fail "$name: $updates apt-get updates, expected $want_updates"
    [ "${changes:--}" = "$want_changes" ] ||
        fail "$name: architecture changes '${changes:--}', expected '$want_changes'"
    [ "$i386" = "$want_i386" ] || fail "$name: i386 architecture at the end: $i386, expected $want_i386"
    [ "${suites:--}" = "$want_suites" ] || fail "$name: suites run '${suites:--}', expected '$want_suites'"
    [ "$leftovers" = "*" ] || fail "$name: temporary files left behind: $leftovers"
    for notice in "$not_run" "could not install"; do
        want=0
        [[ "$want_line" = *"$notice"* ]] && want=1
        [ "$(count "$notice" "${output[@]}")" = $want ] ||
            fail "$name: expected $want line(s) with '$notice'"
    done
    if [ "$want_line" != - ]; then
        found=no
        for line in "${output[@]}"; do [ "$line" = "$want_line" ] && found=yes; done
        [ $found = yes ] || fail "$name: no line '$want_line'"
    fi
    if [ $failures -gt 0 ]; then
        printf '%s\n' "--- $name: output" "${output[@]}" "--- $name: calls" "${calls[@]}" >&2
        exit 1
    fi
done
echo "${#cases[@]} machines: install-packages, install-wine and test-windows behave"
