#!/bin/bash
# The terminal's options as a user types them, without any display: each row gives
# the arguments, the exit status, and what standard output must begin with (a wrong
# argument: nothing on standard output, one line « solvane: … » on standard error).
# Then the name-day list: found beside the program through a link to it, as the
# installed command is, and missing without harm.
# Usage: tests/app/terminal_options.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
failures=0
fail() { echo "terminal_options: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-terminal.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs the program with no display at all; its outputs in $out and $err, its status in $status.
run() {
    status=0
    env -i PATH=/usr/bin:/bin LANG=C "$@" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

# arguments (separated by |)   status   beginning of standard output
rows=(
    "--texte|2024-07-14          0 dimanche 14 juillet 2024"
    "--json|2024-07-14           0 {\"date\":\"2024-07-14\","
    "--texte|1583-01-01          0 samedi 1er janvier 1583"
    "--json|9999-12-31           0 {\"date\":\"9999-12-31\","
    "--texte                     0 "
    "--version                   0 Solvane 3.6"
    "--help                      0 Utilisation :"
    "--texte|2024-02-30          2 "
    "--texte|2023-02-29          2 "
    "--json|1582-12-31           2 "
    "--texte|10000-01-01         2 "
    "--texte|demain              2 "
    "--texte|                    2 "
    "--json|2024-7-14            2 "
    "--texte|2024-07-14|en-trop  2 "
    "--version|en-trop           2 "
)
for row in "${rows[@]}"; do
    read -r words expected beginning <<<"$row"
    IFS='|' read -r -a arguments <<<"$words|"
    run "$program" "${arguments[@]}"
    label="solvane ${words//|/ }"
    [ "$status" = "$expected" ] || fail "$label : état $status au lieu de $expected"
    if [ "$expected" = 0 ]; then
        [ -z "$err" ] || fail "$label : sortie d'erreur « $err »"
        [[ $out == "$beginning"* && -n $out ]] || fail "$label : la sortie commence par « ${out%%$'\n'*} »"
    else
        [ -z "$out" ] || fail "$label : quelque chose sur la sortie standard : « $out »"
        [[ $err == "solvane: "* && $err != *$'\n'* ]] || fail "$label : l'erreur n'est pas une ligne « solvane: … » : « $err »"
    fi
done

# Through a link, as bin/solvane leads to lib/solvane/solvane, the list is the one
# beside the program.
ln -s "$program" "$work/solvane-link"
run "$work/solvane-link" --texte 2024-07-14
[[ $out == *$'\nFête à souhaiter : '* ]] || fail "par un lien, pas de fête : « $out »"

# A program without fetes.txt beside it says every other fact, and exits 0.
mkdir "$work/alone"
cp "$program" "$work/alone/solvane"
run "$work/alone/solvane" --json 2024-07-14
[ "$status" = 0 ] || fail "sans fetes.txt, état $status"
[[ $out == *'"fete":null'* && $out == *'"ferie":"Fête Nationale"'* ]] || fail "sans fetes.txt : « $out »"

[ "$failures" = 0 ] || exit 1
echo "terminal_options: ${#rows[@]} cas d'arguments, la liste par un lien et sans liste"
