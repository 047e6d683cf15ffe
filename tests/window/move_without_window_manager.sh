#!/bin/bash
# With no window manager running, dragging the bare background still moves the
# window by the mouse's travel, and the release ends the move.
# Usage: move_without_window_manager.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin --bare
start_program --copy --wait "$program"

read -r x y <<<"$kBackgroundPoint"
left_drag "$x" "$y" 120 70
xdotool mousemove_relative --sync 50 40
wait_for_program
window_is_at "$origin_x" "$origin_y" ||
    fail "la fenêtre a continué de bouger après le relâchement du bouton : en $(window_geometry), pas en $origin_x $origin_y"

# A second drag, back up and to the left, from where the first one left it.
left_drag "$x" "$y" -150 -90
say "tirée sans gestionnaire de fenêtres jusqu'en $origin_x,$origin_y, puis en arrière"
