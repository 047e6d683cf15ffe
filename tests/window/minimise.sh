#!/bin/bash
# The window's minimise button sends it to its task bar entry: it becomes iconic and
# leaves the screen.
# Usage: minimise.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin
start_program --copy --wait "$program"

! is_iconic || fail "la fenêtre s'est ouverte réduite"
click CmdMinimise
wait_until 5 "la fenêtre est réduite" is_iconic
read -r x y <<<"$kBackgroundPoint"
wait_until 5 "l'écran se voit où était la fenêtre" \
    point_is "$((origin_x + x))" "$((origin_y + y))" "$kScreenColour" 0
process_running "$program_pid" || fail "le programme s'est arrêté au lieu de se réduire"
say "réduite"
