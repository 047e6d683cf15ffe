#!/bin/bash
# The window's minimise button sends it to its task bar entry: it becomes iconic and
# leaves the screen.
# Usage: minimise.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

start_managed_program "$program"

! is_iconic || fail "the window opened iconic"
click_in_box "$kMinimiseBox"
wait_until 5 "the window to become iconic" is_iconic
read -r x y <<<"$kBackgroundPoint"
wait_until 5 "the screen to show through where the window was" \
    screen_point_is_near "$((origin_x + x))" "$((origin_y + y))" "$kRootColour" 0
process_running "$program_pid" || fail "the program ended instead of minimising"
echo "minimise: iconic"
