#!/bin/bash
# The gadget on a display it cannot use: one that it cannot draw on, one whose X
# server goes away under it; one self-contained case per run (a function case_NAME below).
# Usage: unusable_display.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# standard_error_is LINE...: the program's standard error is these lines, in order.
standard_error_is() {
    [ "$(cat "$work/program-errors.log")" = "$(printf '%s\n' "$@")" ] ||
        fail "la sortie d'erreur n'est pas « $* » : $(head -c 2000 "$work/program-errors.log")"
}

# On a screen of 8 bits per pixel the gadget maps no window: it says so in one French
# sentence and ends with status 1, where it mapped a black window and wrote Qt's
# painter warnings without end.
case_eight_bit_screen() {
    screen_depth=8
    window_test_begin --bare
    start_program --copy "$program"
    wait_until 10 "le programme s'arrête" program_ended
    ((program_status == 1)) || fail "le programme s'est arrêté avec l'état $program_status, pas 1"
    standard_error_is "solvane: L'écran n'a que 8 bits par pixel et Solvane en demande au moins 15 : choisissez un affichage en milliers ou en millions de couleurs."
    [ -z "$(solvane_windows)" ] || fail "une fenêtre titrée Solvane s'est ouverte"
    say "écran de 8 bits : une phrase, l'état 1, aucune fenêtre"
}

# The X server stops under the gadget: Qt's line in English, then one French
# sentence of the gadget's, and the status 1.
case_x_server_gone() {
    window_test_begin --bare
    start_program --copy --wait "$program"
    stop_process "$xvfb_pid"
    wait_until 10 "le programme s'arrête après le serveur X" program_ended
    ((program_status == 1)) || fail "le programme s'est arrêté avec l'état $program_status, pas 1"
    local french
    french=$(grep -c "^solvane: La connexion à l'affichage graphique est perdue" "$work/program-errors.log" || true)
    ((french == 1)) || fail "la phrase française n'est pas écrite une fois : $(cat "$work/program-errors.log")"
    [ "$(tail -n 1 "$work/program-errors.log")" = "solvane: La connexion à l'affichage graphique est perdue (serveur X arrêté ?) : Solvane s'arrête." ] ||
        fail "la phrase française n'est pas la dernière ligne : $(cat "$work/program-errors.log")"
    say "serveur X arrêté : $(tr '\n' '|' <"$work/program-errors.log")"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
