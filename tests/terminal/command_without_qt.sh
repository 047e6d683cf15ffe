#!/bin/bash
# The command `solvane` answers the terminal without loading any library of Qt, and
# hands the window over to the window's program beside it, in the same process. The
# dynamic loader says which files it opens (LD_DEBUG=files): each row gives the
# arguments, the exit status, and whether Qt may be loaded. With no argument and no
# display, only the window's program can answer (with its sentence, status 1, after
# loading Qt): the command has executed it. Without the window's program beside it,
# the command says so in one French sentence.
# Usage: tests/terminal/command_without_qt.sh COMMAND
set -euo pipefail
program=$(realpath "$1")
failures=0
fail() { echo "command_without_qt: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-command.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs the program with no display, the loader's list of files in $loaded, its
# standard error in $err and its status in $status.
run() {
    rm -f "$work"/loader.*
    status=0
    env -i PATH=/usr/bin:/bin LANG=C LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loader" "$@" >/dev/null 2>"$work/err" ||
        status=$?
    err=$(cat "$work/err")
    loaded=$(cat "$work"/loader.* 2>/dev/null || true)
    [ -n "$loaded" ] || fail "${*##*/} : le chargeur n'a rien écrit (LD_DEBUG)"
}
loads_qt() { grep -q 'file=libQt6' <<<"$loaded"; }
# The network library is loaded at the first fetch of a subscription, never before.
loads_curl() { grep -q 'file=libcurl' <<<"$loaded"; }

# arguments                 status   Qt loaded
rows=(
    "--texte 2024-07-14      : 0 : non"
    "--json 2024-07-14       : 0 : non"
    "--help                  : 0 : non"
    "--version               : 0 : non"
    "--texte 2024-02-30      : 2 : non"
    "                        : 1 : oui"
)
for row in "${rows[@]}"; do
    IFS=: read -r words expected qt <<<"$row"
    read -r -a arguments <<<"$words"
    read -r expected qt <<<"$expected $qt"
    run "$program" "${arguments[@]}"
    label="solvane ${arguments[*]}"
    [ "$status" = "$expected" ] || fail "$label : état $status au lieu de $expected ($err)"
    if [ "$qt" = non ]; then
        ! loads_qt || fail "$label : Qt chargé : $(grep -m1 'file=libQt6' <<<"$loaded")"
        ! loads_curl || fail "$label : libcurl chargée sans abonnement"
    else
        loads_qt || fail "$label : le programme de la fenêtre n'a pas été lancé (Qt jamais chargé)"
        [[ $err == "solvane: Aucun affichage graphique n'est disponible"* ]] ||
            fail "$label : sans affichage, la sortie d'erreur est « $err »"
    fi
done

# Qt's X11 platform named by the user, with no X server to reach: the window's program
# says so in French with status 1, where Qt would abort with its own English lines.
for display in "" ":59999" "unix:/nonexistent/X0"; do
    run QT_QPA_PLATFORM=xcb ${display:+"DISPLAY=$display"} "$program"
    sentence="Aucun affichage graphique n'est disponible"
    [ -z "$display" ] || sentence="Le serveur X « $display » ne répond pas"
    [[ $status = 1 && $err == "solvane: $sentence"* && $err != *$'\n'* ]] ||
        fail "QT_QPA_PLATFORM=xcb DISPLAY=$display : état $status, « $err »"
done

# Alone, without the window's program: one French sentence, status 1, and no Qt.
mkdir "$work/alone"
cp "$program" "$work/alone/solvane"
run "$work/alone/solvane"
[ "$status" = 1 ] || fail "sans le programme de la fenêtre : état $status"
[[ $err == "solvane: Le programme de la fenêtre, « $work/alone/solvane-fenetre », ne peut pas être lancé"* &&
    $err != *$'\n'* ]] || fail "sans le programme de la fenêtre : « $err »"
! loads_qt || fail "sans le programme de la fenêtre : Qt chargé"

[ "$failures" = 0 ] || exit 1
echo "command_without_qt: ${#rows[@]} cas sans Qt ou passés à la fenêtre, et la commande seule"
