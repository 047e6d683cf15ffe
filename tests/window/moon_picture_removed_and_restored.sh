#!/bin/bash
# The moon picture is read from the program's folder at every refresh: taken away while
# the program runs, it leaves the picture's box to the window's grey and the program
# goes on running; put back, it shows again. The clock reads 29 February 2024, whose
# moon is picture 19.
# Usage: moon_picture_removed_and_restored.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

readonly kMoonBox='287 320 30 30'  # Image1

start_program_on_leap_day "$program"

picture=$program_folder/19.gif
kept=$work/19.gif
cp -p "$picture" "$kept"
wait_until 10 "the moon box to show 19.gif" box_shows_picture "$kMoonBox" "$kept"

rm "$picture"
wait_until 10 "the moon box to turn to the window's grey once 19.gif is gone" \
    box_is_plain "$kMoonBox" "$kBackgroundGrey" 12
# The first timer goes on ticking too: the clock line moves on by two seconds.
read_clock() { gone_at=$(clock_seconds); }
wait_until 5 "the clock line to be readable" read_clock
wait_until 10 "the clock to move on while the picture is missing" clock_reaches $((gone_at + 2))
process_running "$program_pid" || fail "the program ended when its moon picture went missing"
main_window_alone || fail "the window is not alone on the screen (an error box?) without its moon picture"

# Put back whole at once, so that no tick reads half a file.
cp -p "$kept" "$program_folder/19.gif.new"
mv "$program_folder/19.gif.new" "$picture"
wait_until 10 "the moon box to show 19.gif again once it is back" box_shows_picture "$kMoonBox" "$picture"
main_window_alone || fail "the window is not alone on the screen after the picture came back"
! grep -q '^solvane: ' "$work/program-errors.log" || fail "the program reported: $(cat "$work/program-errors.log")"
echo "moon_picture_removed_and_restored: grey while 19.gif was missing, the moon again once back"
