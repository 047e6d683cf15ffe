#!/bin/bash
# End to end, as a user sees it: on an English desktop (LANG=en_US.UTF-8, where the
# gadget stays French) whose clock reads 29 February 2024, real clicks on the
# calendar's month list, ">>", "<<", "Aujourd'hui" and on a day of the calendar, and
# after each the panels read back by OCR and the moon by its pixels: the leap-year
# sentence, the day-of-year and week lines, the name day, the year heading, Easter
# and Christmas of the year in French, and the moon picture of the selected date.
# The calendar's title and day names are French too, its weeks beginning on Monday.
# Then once more at start-up on a clock of 1899, with the today line and the clock.
# What each date should show is worked out by screen_reading.py from the calendar
# and from the name-day list and pictures in the program's folder.
# Usage: panels_follow_the_calendar.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

readonly kPreviousMonthBox='136 360 41 17'  # recul, "<<"
readonly kTodayBox='136 384 89 21'          # cejour, "Aujourd'hui"
readonly kTodayLineBox='36 48 299 25'       # Label1, inside the frame
# In the calendar: the month and year of its title between its two arrows, and the
# first and last day names, inside the grid's lines.
readonly kCalendarTitleBox='70 88 229 24'
readonly kFirstDayNameBox='42 116 37 22'
readonly kLastDayNameBox='290 116 37 22'
readonly kMonthNamePoint='155 100'          # on "février", the month's name in the calendar's title

# The window that the program shows besides its main window (the month list), as
# "LEFT TOP WIDTH HEIGHT" on the screen; fails while there is none.
popup_box() {
    local id
    for id in $(xdotool search --onlyvisible --classname '^solvane$' 2>/dev/null); do
        [ "$id" != "$window" ] || continue
        xwininfo -id "$id" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
            /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
        return 0
    done
    return 1
}

start_program_on_leap_day "$program" en_US.UTF-8

# expect DATE WHAT: waits until the panels show DATE; WHAT says how it was reached.
expect() {
    wait_until 15 "the panels to show $1 $2" panels_show "$1"
    echo "$1 shown $2"
}

expect 2024-02-29 'at start-up (today, a leap day: 60th day, week 9, picture 19)'
today_cell=$(selected_calendar_cell)
wait_until 10 'the calendar to show "février 2024"' box_reads "$kCalendarTitleBox" 'février 2024'
wait_until 10 'the calendar'"'"'s weeks to begin on "lun."' box_reads "$kFirstDayNameBox" 'lun.'
wait_until 10 'the calendar'"'"'s weeks to end on "dim."' box_reads "$kLastDayNameBox" 'dim.'

# First thing, before any press on the window: a click on the month's name opens the
# calendar's list of months right under it, where the window really is on the
# screen, and a click on its first row, "janvier", turns the calendar to January.
read -r name_x name_y <<<"$kMonthNamePoint"
pointer_at "$name_x" "$name_y"
xdotool click 1
wait_until 5 "the calendar's month list to open" eval 'popup_box >/dev/null'
read -r left top width height <<<"$(popup_box)"
name_x=$((origin_x + name_x)) name_y=$((origin_y + name_y))
((left <= name_x && name_x < left + width && name_y < top && top <= name_y + 20)) ||
    fail "the month list opened at $left,$top (${width}x$height), not under the month's name clicked at $name_x,$name_y"
xdotool mousemove --sync "$((left + width / 2))" "$((top + height / 24))" click 1
expect 2024-01-29 'after "janvier" in the month list'
click_box_times 1 "$kTodayBox"
expect 2024-02-29 'after "Aujourd'"'"'hui"'

click_box_times 1 "$kNextMonthBox"
expect 2024-03-29 'after ">>"'

click_box_times 2 "$kPreviousMonthBox"
expect 2024-01-29 'after "<<" twice'

click_box_times 1 "$kTodayBox"
expect 2024-02-29 'after "Aujourd'"'"'hui"'
[ "$(selected_calendar_cell)" = "$today_cell" ] || fail "the calendar does not select today's cell again"

click_calendar_day 29 1
expect 2024-02-01 'after a click on the 1 of the month'
[ "$(selected_calendar_cell)" = "$clicked_cell" ] || fail "the calendar does not select the cell clicked"

click_box_times 10 "$kNextMonthBox"
expect 2024-12-01 'after ">>" ten times'

click_box_times 1 "$kNextMonthBox"
expect 2025-01-01 'after ">>" across December (2025 is not a leap year)'

# A common year skips the leap day's place in the name-day list from 1 March on.
click_box_times 2 "$kNextMonthBox"
expect 2025-03-01 'after ">>" twice more (name day of the place after 29 February)'

# The today line follows the clock, whatever the calendar shows.
wait_until 10 "the today line to show the clock's date" box_reads "$kTodayLineBox" "Aujourd'hui: jeudi  29 février 2024"
main_window_alone || fail "the window is not alone on the screen (an error box?)"

# Started again on a clock before 30 December 1899, whose serial date carries its time
# of day below its day number: the today line, the clock and the calendar's today are
# those of the clock, not the next day at the time mirrored (13:30).
stop_program
french_setting_at '1899-12-29 10:30:00'
launch_program "$(copy_program_folder "$program")"
wait_for_main_window
expect 1899-12-29 'at start-up on a clock of Friday 29 December 1899, 10:30'
wait_until 10 "the today line to show 29 December 1899" box_reads "$kTodayLineBox" "Aujourd'hui: vendredi  29 décembre 1899"
# 10:30:00 to 10:32:00, the clock running on from its start.
wait_until 10 "the clock to read 10:30" clock_reaches $((10 * 3600 + 30 * 60))
(( $(clock_seconds) < 10 * 3600 + 32 * 60 )) || fail "the clock reads $(grep -o '[0-9:]*' "$work/reading.log" | head -n 1), not about 10:30"
main_window_alone || fail "the window is not alone on the screen (an error box?)"
echo "panels_follow_the_calendar: 10 selections read back, the last on a clock of 1899"
