#!/usr/bin/env bash
# The manual page ztr.1 and `ztr --help` must say the same: the same synopsis lines, the same
# commands with the same summaries, the same options (with the same argument names, in the
# same order and groups, the tone options among them) with the same descriptions, every
# option that --help names, and the same version.
#   man_page_test.sh ZTR MANPAGE
set -euo pipefail
ztr=$1
manpage=$2

help_text=$("$ztr" --help)
# Plain text without wrapping or hyphenation, so that every paragraph is one line.
man_text=$(groff -man -Tascii -P-c -P-b -P-o -P-u -rLL=2000n -rHY=0 "$manpage" 2>&1)
. "$(dirname "$0")/check_support.sh"

squeeze() { tr -s ' ' | sed 's/^ //; s/ $//'; }

# Lines of a man section (a heading at column 0) up to the next heading, squeezed.
man_section() {
    awk -v name="$1" '
        /^[A-Z]/ { inside = ($0 == name); next }
        inside && NF { print }' <<<"$man_text" | squeeze
}

# Lines of a help block (a line ending in ":" at column 0) up to the next blank line.
help_block() {
    awk -v name="$1" '
        $0 == name { inside = 1; next }
        inside && !NF { exit }
        inside { print }' <<<"$help_text"
}

# 1. Synopsis: the usage lines of --help, in order.
expected=$(help_block "Usage:" | squeeze)
actual=$(man_section "SYNOPSIS")
if [ "$expected" != "$actual" ]; then
    fail "synopsis differs"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

# 2. Commands: each summary of --help starts the man page's paragraph of that command.
commands=$(help_block "Commands:" | squeeze)
[ -n "$commands" ] || fail "--help lists no commands"
command_count=0
while read -r name summary; do
    command_count=$((command_count + 1))
    paragraph=$(man_section "COMMANDS" | awk -v name="$name" '
        $1 == name { sub("^" name " ?", ""); text = $0; found = 1; next }
        found && text == "" { text = $0 }
        found { found = 0 }
        END { print text }')
    case "$paragraph" in
    "$summary"*) ;;
    *) fail "command $name: man says '${paragraph:0:80}', --help says '$summary'" ;;
    esac
done <<<"$commands"
man_commands=$(man_section "COMMANDS" | awk 'NF == 1 || /^[a-z]+ [A-Z]/ { print $1 }' | grep -c '^[a-z]*$' || true)
[ "$man_commands" -eq "$command_count" ] ||
    fail "man page describes $man_commands commands, --help $command_count"

# 3. Options: per group ("Options of convert:" ...), the tags and descriptions in order.
# Help: "  --tag ARG    description" with continuation lines indented further.
help_options() {
    # The heading is "GROUP:", or "GROUP (what it does, on one or more lines):".
    awk -v name="$1" '
        $0 == name ":" || index($0, name " (") == 1 { inside = 1; next }
        inside && !NF { exit }
        inside { print }' <<<"$help_text" | awk '
        /^  -/ {
            if (tag != "") print tag "\t" text
            line = substr($0, 3)
            split(line, parts, /  +/)
            tag = parts[1]; text = substr(line, length(tag) + 1)
            next
        }
        /^   +[^ ]/ && tag != "" { text = text " " $0 }
        END { if (tag != "") print tag "\t" text }'
}
# Man: under the subsection heading, "--tag ARG    Description" paragraphs.
man_options() {
    awk -v name="   $1" '
        $0 == name { inside = 1; next }
        /^[^ ]/ || /^   [^ ]/ { inside = 0 }
        inside && /^       -/ {
            line = substr($0, 8)
            split(line, parts, /  +/)
            print parts[1] "\t" substr(line, length(parts[1]) + 1)
        }' <<<"$man_text"
}
normalise() { tr '[:upper:]' '[:lower:]' | squeeze | sed 's/\.$//'; }

groups=$(grep -oE '^(Tone o|O)ptions of [a-z]+(:$| \()' <<<"$help_text" | sed 's/:$//; s/ ($//')
[ -n "$groups" ] || fail "--help has no option groups"
while read -r group; do
    help_list=$(help_options "$group")
    man_list=$(man_options "$group")
    help_tags=$(cut -f1 <<<"$help_list")
    man_tags=$(cut -f1 <<<"$man_list")
    if [ "$help_tags" != "$man_tags" ]; then
        fail "$group: options differ"
        diff <(echo "$help_tags") <(echo "$man_tags") >&2 || true
        continue
    fi
    while IFS=$'\t' read -r tag help_description; do
        man_description=$(awk -F'\t' -v tag="$tag" '$1 == tag { print $2 }' <<<"$man_list")
        want=$(normalise <<<"$help_description")
        have=$(normalise <<<"$man_description")
        # The man page may say more, but must begin with what --help says.
        case "$have" in
        "$want"*) ;;
        *) fail "$group $tag: man says '$have', --help says '$want'" ;;
        esac
    done <<<"$help_list"
done <<<"$groups"

# 4. Every option that --help names anywhere, in a group, a synopsis or a paragraph, is in the
# man page.
options=$(grep -oE -- '(^|[][ (|])--?[a-z][a-z0-9-]*' <<<"$help_text" | sed 's/^[][ (|]//' | sort -u)
[ -n "$options" ] || fail "--help names no options"
while read -r option; do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|\$)" <<<"$man_text" ||
        fail "--help names $option, the man page does not"
done <<<"$options"

# 5. Exit status and version.
exit_status=$(grep -A1 '^Exit status:' <<<"$help_text" | tr '\n' ' ' | sed 's/^Exit status: //' | squeeze)
man_exit=$(man_section "EXIT STATUS" | tr '\n' ' ' | squeeze)
case "$(normalise <<<"$man_exit")" in
"$(normalise <<<"$exit_status")"*) ;;
*) fail "exit status: man says '$man_exit', --help says '$exit_status'" ;;
esac
version=$("$ztr" --version)
grep -qF "$version" <<<"$man_text" || fail "man page does not carry '$version'"

if [ $failures -ne 0 ]; then
    echo "$failures difference(s) between $manpage and ztr --help" >&2
    exit 1
fi
echo "ztr.1 agrees with ztr --help ($command_count commands, $(wc -l <<<"$groups") option groups)"
