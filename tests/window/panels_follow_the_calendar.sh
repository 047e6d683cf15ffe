#!/bin/bash
# End to end, as a user sees it: on an English desktop (LANG=en_US.UTF-8, where the
# gadget stays French) whose clock reads 29 February 2024, real clicks on the
# calendar's month list, ">>", "<<", "Aujourd'hui" and on a day of the calendar, and
# after each the panels read back by OCR and the moon by its pixels: the leap-year
# sentence, the day-of-year and week lines, the name day, the year heading, Easter
# and Christmas of the year in French, and the moon picture of the selected date.
# The calendar's title and day names are French too, its weeks beginning on Monday.
# Then once more at start-up on a clock of 1899, with the today line and the clock.
# What each date should show is worked out by expected_panels.py from the calendar
# and from the name-day list and pictures in the program's folder.
# Usage: panels_follow_the_calendar.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

readonly kMonthNamePoint='155 100'  # on "février", the month's name in the calendar's title

start_program_on_leap_day "$program" en_US.UTF-8

# panels_show DATE: every checked label and the moon picture show what they should
# when DATE (YYYY-MM-DD) is selected, by the data files of the program's folder.
panels_show() { read_window panel "$1" "$program_folder"; }

# The window point of the selected day's cell.
selected_calendar_cell() {
    read_window cell || fail "aucun jour choisi dans le calendrier : $(cat "$work/reading.log")"
    cat "$work/reading.log"
}

# expect DATE WHAT: waits until the panels show DATE; WHAT says how it was reached.
expect() {
    wait_until 15 "les panneaux montrent le $1 $2" panels_show "$1"
    say "le $1 est montré $2"
}

expect 2024-02-29 "au démarrage (aujourd'hui, un 29 février : 60e jour, semaine 9, image 19)"
today_cell=$(selected_calendar_cell)
wait_until 10 'le calendrier montre « février 2024 »' box_reads Cal1.title 'février 2024'
wait_until 10 'les semaines du calendrier commencent par « lun. »' box_reads Cal1.first_day_name 'lun.'
wait_until 10 'les semaines du calendrier finissent par « dim. »' box_reads Cal1.last_day_name 'dim.'

# First thing, before any press on the window: a click on the month's name opens the
# calendar's list of months right under it, where the window really is on the
# screen, and a click on its first row, "janvier", turns the calendar to January.
click "$kMonthNamePoint"
read -r name_x name_y <<<"$kMonthNamePoint"
wait_until 5 "la liste des mois du calendrier s'ouvre" eval 'popup_box >/dev/null'
read -r left top width height <<<"$(popup_box)"
name_x=$((origin_x + name_x)) name_y=$((origin_y + name_y))
((left <= name_x && name_x < left + width && name_y < top && top <= name_y + 20)) ||
    fail "la liste des mois s'est ouverte en $left,$top (${width}x$height), pas sous le nom du mois cliqué en $name_x,$name_y"
xdotool mousemove --sync "$((left + width / 2))" "$((top + height / 24))" click 1
expect 2024-01-29 'après « janvier » dans la liste des mois'
click cejour 1 1
expect 2024-02-29 "après « Aujourd'hui »"

click avance 1 1
expect 2024-03-29 'après « >> »'

click recul 1 2
expect 2024-01-29 'après « << » deux fois'

click cejour 1 1
expect 2024-02-29 "après « Aujourd'hui »"
[ "$(selected_calendar_cell)" = "$today_cell" ] || fail "le calendrier ne choisit pas de nouveau la case d'aujourd'hui"

click_calendar_day 29 1
expect 2024-02-01 'après un clic sur le 1 du mois'
[ "$(selected_calendar_cell)" = "$clicked_cell" ] || fail "le calendrier ne choisit pas la case cliquée"

click avance 1 10
expect 2024-12-01 'après « >> » dix fois'

click avance 1 1
expect 2025-01-01 "après « >> » au-delà de décembre (2025 n'est pas bissextile)"

# A common year skips the leap day's place in the name-day list from 1 March on.
click avance 1 2
expect 2025-03-01 'après « >> » encore deux fois (la fête de la place qui suit le 29 février)'

# The today line follows the clock, whatever the calendar shows.
wait_until 10 "la ligne du jour montre la date de l'horloge" box_reads Label1.inside "Aujourd'hui: jeudi  29 février 2024"
main_window_alone || fail "la fenêtre n'est pas seule à l'écran (une boîte d'erreur ?)"

# Started again on a clock before 30 December 1899, whose serial date carries its time
# of day below its day number: the today line, the clock and the calendar's today are
# those of the clock, not the next day at the time mirrored (13:30).
stop_program
french_setting_at '1899-12-29 10:30:00'
start_program --copy --wait "$program"
expect 1899-12-29 'au démarrage, une horloge au vendredi 29 décembre 1899, 10 h 30'
wait_until 10 "la ligne du jour montre le 29 décembre 1899" box_reads Label1.inside "Aujourd'hui: vendredi  29 décembre 1899"
# 10:30:00 to 10:32:00, the clock running on from its start.
wait_until 10 "l'horloge lit 10:30" clock_reaches $((10 * 3600 + 30 * 60))
(( $(clock_seconds) < 10 * 3600 + 32 * 60 )) || fail "l'horloge lit $(cat "$work/reading.log") s après minuit, pas environ 10:30"
main_window_alone || fail "la fenêtre n'est pas seule à l'écran (une boîte d'erreur ?)"
say "10 choix relus, le dernier sur une horloge de 1899"
