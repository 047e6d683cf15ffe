#!/bin/bash
# With an empty name-day list the program starts and keeps running: the refreshes tick
# on for seconds, the moon shows, and the name-day line shows its words with no name.
# Usage: start_with_empty_name_day_list.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

readonly kNameDayBox='48 336 239 17'  # Label32, short of the moon picture
readonly kMoonBox='287 320 30 30'     # Image1

harness_start
require_reading_commands
start_display
start_window_manager
executable=$(copy_program_folder "$program")
: >"$(dirname "$executable")/fetes.txt"
# The clock starts at 10:00:00 when the program starts.
french_setting_at '2024-02-29 10:00:00'
launch_program "$executable"
wait_for_main_window

wait_until 10 "the name-day line to show no name" box_reads "$kNameDayBox" 'fête à souhaiter :'
wait_until 10 "the moon of 29 February 2024" box_shows_picture "$kMoonBox" "$program_folder/19.gif"
# Five seconds of ticks of both timers.
wait_until 15 "the clock line to reach 10:00:05" clock_reaches $((10 * 3600 + 5))
process_running "$program_pid" || fail "the program ended"
main_window_alone || fail "the window is not alone on the screen (an error box?)"
box_reads "$kNameDayBox" 'fête à souhaiter :' ||
    fail "after five seconds the name-day line reads $(cat "$work/reading.log")"
! grep -q '^solvane: ' "$work/program-errors.log" || fail "the program reported: $(cat "$work/program-errors.log")"
echo "start_with_empty_name_day_list: running after 5 s, no name shown"
