#!/bin/bash
# The window's quit button ends the program at once, with status 0, and writes
# nothing beside the program.
# Usage: quit.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

start_managed_program "$program"

program_folder_listing() {
    (cd "$program_folder" && find . -printf '%p %s %T@\n' | sort)
}
listing_before=$(program_folder_listing)

click_in_box "$kQuitBox"
wait_until 5 "the program to end" program_ended
[ "$program_status" = 0 ] || fail "the program ended with status $program_status"
wait_until 5 "the window to close" window_gone "$window"
[ "$(program_folder_listing)" = "$listing_before" ] || fail "the program changed the files of its folder"
echo "quit: status 0"
