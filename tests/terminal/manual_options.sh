#!/bin/bash
# Every option that --help lists has its own item in the manual page's OPTIONS, as man
# shows it (a tag line of its own, not words run into another item's paragraph), and
# the page has no item for an option the command does not know.
# Usage: tests/terminal/manual_options.sh PROGRAM MANUAL_PAGE   (the configured solvane.1)
set -euo pipefail
program=$1
page=$2
failures=0
fail() { echo "manual_options: ÉCHEC : $*" >&2; failures=$((failures + 1)); }

# The options of a column: its words that begin with one dash or two.
options() { grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | tr -d ' ,' | sort -u; }

# --help's option lines: "  solvane --texte [AAAA-MM-JJ]   écrit…", "  solvane -h, --help   affiche…",
# the usage column parted from the line's help by two blanks or more.
help=$(env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$program" --help)
listed=$(awk -F'  +' '/^  solvane -/ { print $2 }' <<<"$help" | options)
[ "$(wc -l <<<"$listed")" -ge 10 ] || fail "--help ne donne pas ses options : « $help »"

# The tags of the OPTIONS section as man lays them out: the lines at the tag's indent
# that begin with a dash. groff may write a dash as a minus sign or a hyphen.
shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null | sed 's/\xe2\x88\x92\|\xe2\x80\x90/-/g' |
    sed -n '/^OPTIONS$/,/^[^ ]/p' | grep -E '^ {7}-' | options)

while read -r option; do
    grep -qxF -- "$option" <<<"$shown" || fail "$option (dans --help) n'a pas d'entrée à lui dans OPTIONS de la page de manuel"
done <<<"$listed"
while read -r option; do
    grep -qxF -- "$option" <<<"$listed" || fail "$option a une entrée dans la page de manuel, mais --help ne le donne pas"
done <<<"$shown"
exit $((failures > 0))
