#!/bin/bash
# The gadget where it cannot draw, where its X server goes, and beside a name too
# long for a tooltip, one self-contained case per run (a function case_NAME below).
# Usage: unfriendly_settings.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
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
    harness_start
    screen_depth=8
    start_display
    launch_program "$(copy_program_folder "$program")"
    wait_until 10 "le programme s'arrête" program_ended
    ((program_status == 1)) || fail "le programme s'est arrêté avec l'état $program_status, pas 1"
    standard_error_is "solvane: L'écran n'a que 8 bits par pixel et Solvane en demande au moins 15 : choisissez un affichage en milliers ou en millions de couleurs."
    [ -z "$(visible_solvane_windows)" ] || fail "une fenêtre titrée Solvane s'est ouverte"
    say "écran de 8 bits : une phrase, l'état 1, aucune fenêtre"
}

# The X server stops under the gadget: Qt's line in English, then one French
# sentence of the gadget's, and the status 1.
case_x_server_gone() {
    harness_start
    start_display
    start_program "$program"
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

# The name of 1 February is one word of 255 letters: the day's tooltip is no wider
# than about 400 pixels, and lies inside the screen.
case_long_name_tooltip() {
    harness_start
    require_reading_commands
    start_display
    start_window_manager
    french_setting_at '2024-02-29 10:00:00'
    local executable folder word
    executable=$(copy_program_folder "$program")
    folder=$(dirname "$executable")
    grep -q $'^1,Ella\r$' "$folder/fetes.txt" || fail "la liste des fêtes n'a pas de ligne 1,Ella pour le 1er février"
    word=$(printf 'W%.0s' {1..255})
    sed -i "s/^1,Ella\r\$/1,$word\r/" "$folder/fetes.txt"
    launch_program "$executable"
    wait_for_main_window
    click_calendar_day 29 1
    read -r x y <<<"$clicked_cell"
    pointer_at "$((x + 2))" "$y"
    wait_until 5 "une bulle s'ouvre sur le 1er février" eval 'popup_box >/dev/null'
    read -r left top width height <<<"$(popup_box)"
    ((width <= 420)) || fail "la bulle mesure $width pixels de large, plus de 400"
    ((left >= 0 && top >= 0 && left + width <= screen_width && top + height <= screen_height)) ||
        fail "la bulle déborde de l'écran : $left,$top ${width}x$height"
    say "un nom de 255 lettres : la bulle mesure ${width}x$height, dans l'écran"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
