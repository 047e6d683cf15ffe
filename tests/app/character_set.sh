#!/bin/bash
# The character set under locales that are not UTF-8, as a cron job, a bare terminal or
# a system without locales starts the program: after SettleOnUtf8CharacterSet(), Qt
# starts on UTF-8 and writes nothing on standard error (Qt 6.8 writes four English
# lines otherwise), and everything else, the C library's other categories and
# QLocale::system(), is what Qt itself makes of the untouched environment.
# Usage: tests/app/character_set.sh PROBE   (tests/app/character_set_probe.cpp)
set -euo pipefail
probe=$1
failures=0
fail() { echo "character_set: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-charset.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The locale variables of each row (none, for the first), nothing else.
rows=(
    ""
    "LANG=C"
    "LC_ALL=POSIX"
    "LC_ALL=C LANG=C.UTF-8"
    "LANG=C LC_TIME=C.UTF-8 LC_MESSAGES=POSIX"
    "LANG=fr_FR@euro"
    "LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8"
    "LANG=C.UTF-8"
)
for row in "${rows[@]}"; do
    read -r -a variables <<<"$row"
    label="« ${row:-aucune variable de locale} »"
    env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "${variables[@]}" "$probe" --as-is >"$work/as-is" 2>/dev/null
    env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "${variables[@]}" "$probe" >"$work/settled" 2>"$work/err" ||
        fail "$label : la sonde a échoué"
    [ ! -s "$work/err" ] || fail "$label : sortie d'erreur « $(cat "$work/err") »"
    grep -qix 'codeset utf-8' "$work/settled" || fail "$label : $(grep codeset "$work/settled")"
    diff <(grep -v '^codeset' "$work/as-is") <(grep -v '^codeset' "$work/settled") >"$work/diff" ||
        fail "$label : la locale change : $(cat "$work/diff")"
done
[ "$failures" -eq 0 ] || exit 1
echo "character_set : ${#rows[@]} environnements"
