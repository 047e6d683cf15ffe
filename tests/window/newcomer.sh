#!/bin/bash
# What a new user meets on a real desktop, one case per run: each case is a
# function named case_NAME below, self-contained, with the fault it catches said
# above it.
# Usage: newcomer.sh SOLVANE_EXECUTABLE CASE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# --- A dark desktop theme ------------------------------------------------------
# The gadget keeps its own colours under any desktop theme: Fusion took its palette
# from a dark GTK theme and wrote white on the text buttons' light faces. The
# window is the same pixel for pixel under the dark theme as on a plain desktop, and
# the year field's menu is light, in French.

# The window's pixels once nothing changes on it any more (the clock stands still).
window_sum=''
window_settles() {
    local before
    before=$(box_checksum "${kBoxes[Form1]}")
    sleep 1
    window_sum=$(box_checksum "${kBoxes[Form1]}")
    [ "$window_sum" = "$before" ]
}

# themed_window_sum [VARIABLE=VALUE...]: the settled window's checksum, the program
# started with those variables on a French desktop whose clock stands still.
themed_window_sum() {
    program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}" "$@")
    start_program "$program"
    wait_until 10 "la fenêtre ne change plus" window_settles
}

case_dark_desktop() {
    harness_start
    require_reading_commands
    require_commands convert
    dpkg -s qt6-gtk-platformtheme >/dev/null 2>&1 || fail "le thème GTK de Qt manque (paquet qt6-gtk-platformtheme)"
    start_display
    start_window_manager
    faked_clock_at '2026-12-06 09:05:07' frozen || fail "libfaketime est absente (paquet faketime)"
    xdotool mousemove 0 0  # away from the window, which lights what lies under the mouse

    themed_window_sum
    local plain=$window_sum
    stop_program
    themed_window_sum QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
    [ "$window_sum" = "$plain" ] || {
        box_picture "${kBoxes[Form1]}" png >"$work/window-dark.png"
        fail "sous le thème GTK sombre, la fenêtre n'a pas les couleurs d'un bureau clair (window-dark.png)"
    }

    # The year field opens on a click on the year; its menu opens at the mouse.
    local year_x=225 year_y=100 menu
    pointer_to "$year_x" "$year_y"
    xdotool click 1
    xdotool click 3
    menu="$((origin_x + year_x)) $((origin_y + year_y)) 260 220"
    # shellcheck disable=SC2317  # called through wait_until
    read_menu() {
        screenshot_ppm
        python3 "$kScreenReading" says "$work/screen.ppm" "$menu" \
            'Annuler Rétablir Couper Copier Coller Supprimer Tout sélectionner Augmenter Diminuer' 0.5 \
            Couper Copier Supprimer Augmenter >"$work/reading.log" 2>&1
    }
    wait_until 5 "le menu du champ de l'année parle français" read_menu
    local light left top width height
    read -r left top width height <<<"$menu"
    light=$(convert "$work/screen.ppm" -crop "${width}x${height}+$left+$top" -colorspace Gray -format '%[fx:mean>0.75]' info:)
    [ "$light" = 1 ] || fail "sous un thème GTK sombre, le menu du champ de l'année est sombre"
    say "les couleurs ne suivent pas le thème du bureau ; le menu de Qt est en français"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
