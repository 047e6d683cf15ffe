#!/bin/bash
# Presses that must neither move the window nor keep it above: the right and the
# middle button on the bare background, and the left button on a text, on the
# moon picture, on a button, on the calendar, or on a cut corner (which belongs to
# the screen below). Each press is dragged away before its release.
# Usage: presses_that_do_not_move.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin
start_program --copy --wait "$program"

# Rows: button, window x, window y, dx, dy, where. The press on ">>" comes first,
# because the check after each press clicks ">>" itself; the drag on it stays on
# the button, so it is a click as well. The right press opens the window's menu
# below and to the right of it: its drag goes up and left, so that the release
# chooses none of the menu's entries, whatever they are.
presses=(
    '1 208 368 8 4 sur le bouton « >> »'
    '3 340 200 -80 -50 avec le bouton droit sur le fond'
    '2 340 200 80 50 avec le bouton du milieu sur le fond'
    "1 400 56 60 40 sur le texte « Jours fériés de l'année: »"
    "1 300 330 60 40 sur l'image de la lune"
    '1 185 250 20 15 sur le calendrier'
    '1 3 3 60 40 sur le coin coupé en haut à gauche'
)

fewer_menus_than() { (( $(popups_shown) < $1 )); }

# Closes the menus that a press opened, the last opened first, each with Escape, as a
# user does; a click elsewhere would be taken by the menu, not by the window.
close_menus() {
    local shown
    while shown=$(popups_shown) && ((shown > 0)); do
        xdotool key Escape
        wait_until 5 "Échap ferme un menu ouvert par l'appui" fewer_menus_than "$shown"
    done
}

! is_above || fail "la fenêtre est gardée au-dessus avant tout appui"
for row in "${presses[@]}"; do
    read -r button x y dx dy where <<<"$row"
    before_x=$origin_x before_y=$origin_y
    pointer_to "$x" "$y"
    xdotool mousedown "$button"
    xdotool mousemove_relative --sync -- "$((dx / 2))" "$((dy / 2))" mousemove_relative --sync -- "$((dx - dx / 2))" "$((dy - dy / 2))"
    xdotool mouseup "$button"
    close_menus
    wait_for_program
    window_is_at "$before_x" "$before_y" || fail "un appui glissé $where a déplacé la fenêtre de $before_x $before_y en $(window_geometry)"
    ! is_above || fail "un appui glissé $where garde la fenêtre au-dessus"
done
say "${#presses[@]} appuis glissés n'ont rien déplacé"
