#!/bin/bash
# Without fetes.txt beside it the program does not start: a message box titled
# Solvane says, in French, that the file is missing and names its path, the same line
# goes to standard error, the main window is never mapped, Return closes the box and
# the program ends with a non-zero status.
# There is no window manager here, so that every window the program maps is a child
# of the screen's root window, whose events xev reports.
# Usage: start_without_name_day_list.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

harness_start
require_reading_commands
start_display

# Every window created, resized, mapped or unmapped on the screen, from now on.
xev -root -event substructure >"$work/windows.txt" 2>&1 &
extra_pids+=($!)
remember_pid "$!"
# xev listens once it reports a window of our own: map one until it does.
xev_reports_a_map() {
    xlogo -geometry 40x40+0+0 >/dev/null 2>&1 &
    local logo=$!
    remember_pid "$logo"
    timeout 5 xdotool search --sync --onlyvisible --class xlogo >/dev/null 2>&1 || true
    stop_process "$logo"
    grep -q '^MapNotify event' "$work/windows.txt"
}
wait_until 15 "xev to report the map of a window" xev_reports_a_map

executable=$(copy_program_folder "$program")
missing=$(dirname "$executable")/fetes.txt
rm "$missing"
french_setting_at '2024-02-29 10:00:00'
launch_program "$executable"

box=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
[ -n "$box" ] || fail "no window titled Solvane after 15 s"
[ "$(window_size "$box")" != "$kWindowWidth $kWindowHeight" ] || fail "the window titled Solvane is the main window"
[ "$(xdotool search --onlyvisible --name '^Solvane$' | wc -l)" = 1 ] || fail "more than one window titled Solvane"

# Standard error: one line, "solvane: " and a French sentence that names the path.
error_line_written() { [ -s "$work/program-errors.log" ]; }
wait_until 5 "the error on standard error" error_line_written
[ "$(wc -l <"$work/program-errors.log")" = 1 ] || fail "standard error holds more than one line"
line=$(cat "$work/program-errors.log")
[[ $line == "solvane: "* ]] || fail "the error line does not begin with \"solvane: \": $line"
[[ $line == *"$missing"* ]] || fail "the error line does not name $missing: $line"
words=${line//"$missing"/}
grep -Eqi '\b(fichier|introuvable|manquant|absent|impossible)\b' <<<"$words" ||
    fail "the error line is not in French: $line"
! grep -Eqi '\b(file|not found|cannot|missing|error)\b' <<<"$words" || fail "the error line is in English: $line"

# The box shows the same sentence: OCR of the box, close to the line and naming the file.
read -r box_x box_y < <(xwininfo -id "$box" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF } END { print x, y }')
read -r box_width box_height < <(window_size "$box")
box_says_the_line() {
    screenshot_ppm
    python3 "$kScreenReading" says "$work/screen.ppm" "$box_x $box_y $box_width $box_height" \
        "${line#solvane: }" 0.85 fetes.txt >"$work/reading.log" 2>&1
}
wait_until 10 "the box to show the error's sentence" box_says_the_line

process_running "$program_pid" || fail "the program ended before the box was closed"
xdotool mousemove --sync "$((box_x + box_width / 2))" "$((box_y + 10))"
xdotool key Return
wait_until 5 "the program to end once Return closed the box" program_ended
[ "$program_status" != 0 ] || fail "the program ended with status 0"
wait_until 5 "the box to close" window_gone "$box"

# No window of the main window's size was ever mapped; the box was.
mapped=$(awk -v main="${kWindowWidth}x$kWindowHeight" '
    /^[A-Za-z]+ event, serial/ { type = $1; next }
    type != "" && match($0, /window 0x[0-9a-f]+/) {
        id = substr($0, RSTART + 7, RLENGTH - 7)
        if (match($0, /width [0-9]+, height [0-9]+/)) {
            split(substr($0, RSTART, RLENGTH), size, /[ ,]+/)
            sizes[id] = size[2] "x" size[4]
        }
        if (type == "MapNotify") shown[id] = 1
        if (type == "UnmapNotify" || type == "DestroyNotify") shown[id] = 0
        if (shown[id] && sizes[id] == main) print "main " id
        if (type == "MapNotify") print "mapped " id
        type = ""
    }' "$work/windows.txt")
! grep -q '^main ' <<<"$mapped" || fail "a ${kWindowWidth} x $kWindowHeight window was mapped: $(grep '^main ' <<<"$mapped" | sort -u | tr '\n' ' ')"
grep -qx "mapped $(printf '0x%x' "$box")" <<<"$mapped" || fail "xev did not report the box's map: its report cannot be trusted"
echo "start_without_name_day_list: box, no main window, status $program_status"
