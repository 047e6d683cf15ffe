#!/bin/bash
# What a new user meets on a real desktop, one self-contained case per run (a
# function case_NAME below).
# Usage: newcomer.sh SOLVANE_EXECUTABLE CASE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# The window's checksum, once it stays the same for a second (its clock stands still).
window_sum=''
window_settles() {
    local before
    before=$(box_checksum "${kBoxes[Form1]}")
    sleep 1
    window_sum=$(box_checksum "${kBoxes[Form1]}")
    [ "$window_sum" = "$before" ]
}

# Fusion took its colours from a dark GTK theme and wrote white on the text buttons'
# light faces, and Qt's own menus were in English: under that theme the window is
# the same pixel for pixel as on a plain desktop, the year field's menu light and
# in French.
case_dark_desktop() {
    harness_start
    require_reading_commands
    dpkg -s qt6-gtk-platformtheme >/dev/null 2>&1 || fail "le thème GTK de Qt manque (paquet qt6-gtk-platformtheme)"
    start_display
    start_window_manager
    faked_clock_at '2026-12-06 09:05:07' frozen || fail "libfaketime est absente (paquet faketime)"
    xdotool mousemove 0 0  # away from the window, where the mouse lights what it is over
    local plain theme
    for theme in '' Adwaita:dark; do
        program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
        [ -z "$theme" ] || program_environment+=(QT_QPA_PLATFORMTHEME=gtk3 "GTK_THEME=$theme")
        start_program "$program"
        wait_until 10 "la fenêtre ne change plus" window_settles
        [ -n "$theme" ] || { plain=$window_sum; stop_program; }
    done
    [ "$window_sum" = "$plain" ] || fail "sous un thème GTK sombre, la fenêtre n'a pas les couleurs d'un bureau clair"

    # A click on the year opens its field; a right click there, its menu at the mouse.
    pointer_to 225 100
    xdotool click 1 click 3
    local menu="$((origin_x + 225)) $((origin_y + 100)) 260 220" light x y width height
    # shellcheck disable=SC2317  # called through wait_until
    menu_reads_french() {
        screenshot_ppm
        python3 "$kScreenReading" says "$work/screen.ppm" "$menu" 'Annuler Rétablir Couper Copier Coller Supprimer
            Tout sélectionner Augmenter Diminuer' 0.5 Couper Copier Supprimer Augmenter >"$work/reading.log" 2>&1
    }
    wait_until 5 "le menu du champ de l'année parle français" menu_reads_french
    read -r x y width height <<<"$menu"
    light=$(convert "$work/screen.ppm" -crop "${width}x${height}+$x+$y" -colorspace Gray -format '%[fx:mean>0.75]' info:)
    [ "$light" = 1 ] || fail "sous un thème GTK sombre, le menu du champ de l'année est sombre"
    say "les couleurs ne suivent pas le thème du bureau ; le menu de Qt est en français"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
