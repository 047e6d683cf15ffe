#!/bin/bash
# Pointing at a day of the calendar, while another window is active, shows after
# about half a second a tooltip of that day's facts, inside the screen, its first line the day written out; it goes
# when the pointer leaves, and none comes over a text button. A screen reader reads
# the same facts over AT-SPI as the day's description, those that `solvane --texte`
# gives for that date.
# Usage: day_tooltip.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

readonly kScreenReaderBus=yes
start_program_on_leap_day "$program"

# The 1st of the month is in the grid's first rows, away from its selected 29th.
click_calendar_day 29 1
read -r x y <<<"$clicked_cell"
window_state() { /usr/bin/python3 "$(dirname "$0")/accessible_day.py" --etat-fenetre 2>/dev/null; }
wait_until 20 "Solvane sait que sa fenêtre cliquée est active" eval '[ "$(window_state)" = active ]'
# The gadget is pointed at while another window is active.
start_other_window xlogo -geometry 100x100+0+0
xdotool search --sync --class '^xlogo$' windowactivate --sync >/dev/null 2>&1 ||
    fail "la fenêtre xlogo ne devient pas active"
# Qt closes a bubble whenever a window's activation changes; on a loaded machine the
# gadget can hear of xlogo's long after the window manager made it: the glide starts
# once the gadget itself says it is not the active window.
wait_until 20 "Solvane sait que sa fenêtre n'est plus active" eval '[ "$(window_state)" = inactive ]'
pointer_glides_to "$((x + 2))" "$y"
wait_until 5 "une bulle s'ouvre sur le 1er février" eval 'popup_box >/dev/null'
# Counted from the last motion asked for, which restarts the tooltip's wait: a
# loaded machine can only make the bubble later.
waited_ms=$((($(now_us) - last_move_at_us) / 1000))
((waited_ms >= 300)) || fail "la bulle s'est ouverte après $waited_ms ms, avant la demi-seconde"
read -r left top width height <<<"$(popup_box)"
read -r screen_width screen_height <<<"$(xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')"
((left >= 0 && top >= 0 && left + width <= screen_width && top + height <= screen_height)) ||
    fail "la bulle déborde de l'écran : $left,$top ${width}x$height"
screenshot_ppm
python3 "$kScreenReading" says "$work/screen.ppm" "$left $top $width $((height / 3))" 'jeudi 1er février 2024' 0.75 \
    février 2024 >"$work/reading.log" || fail "la bulle ne dit pas « jeudi 1er février 2024 » : $(cat "$work/reading.log")"

pointer_at "${kBackgroundPoint% *}" "${kBackgroundPoint#* }"
wait_until 5 "la bulle se ferme hors du calendrier" eval '! popup_box >/dev/null'
read -r x y <<<"$(box_centre "${kBoxes[cejour]}")"
pointer_at "$x" "$y"
sleep 1.5  # the absence of a tooltip can only be waited for
! popup_box >/dev/null || fail "une bulle s'ouvre sur « Aujourd'hui »"
# Over AT-SPI: the 1st's description is its date, its name day and its moon, as the terminal says them.
/usr/bin/python3 "$(dirname "$0")/accessible_day.py" 1 >"$work/accessible.log" 2>&1 ||
    fail "AT-SPI ne donne pas la case du 1 : $(cat "$work/accessible.log")"
description=$(sed -n '1,/^--$/p' "$work/accessible.log" | sed '$d')
facts=$("$program" --texte 2024-02-01 | grep -v -e "jour de l'année" -e 'bissextile')
[ "$description" = "$facts" ] || fail "la description lue par AT-SPI « $description » n'est pas « $facts »"
say "la bulle du 1er février s'ouvre en $waited_ms ms dans l'écran et AT-SPI la lit, aucune sur « Aujourd'hui »"
