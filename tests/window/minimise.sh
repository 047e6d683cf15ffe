#!/bin/bash
# The window's minimise button sends it to its task bar entry: it becomes iconic and
# leaves the screen.
# Usage: minimise.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

start_managed_program "$program"

! is_iconic || fail "la fenêtre s'est ouverte réduite"
click_in_box "${kBoxes[CmdMinimise]}"
wait_until 5 "la fenêtre est réduite" is_iconic
read -r x y <<<"$kBackgroundPoint"
wait_until 5 "l'écran se voit où était la fenêtre" \
    screen_point_is_near "$((origin_x + x))" "$((origin_y + y))" "$kRootColour" 0
process_running "$program_pid" || fail "le programme s'est arrêté au lieu de se réduire"
say "réduite"
