#!/bin/bash
# The tooltip of a day of the calendar, and the line under a day that holds an event
# of the user's agendas; one self-contained case per run (a function case_NAME below).
# Usage: day_tooltip.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# pointer_glides_to X Y: moves the pointer as a hand does, in steps some 20 ms apart,
# the last over the point; last_move_at_us is when that one was asked for.
last_move_at_us=''
pointer_glides_to() {
    local x=$((origin_x + $1)) y=$((origin_y + $2)) from_x=0 from_y=0 step at last=''
    eval "$(xdotool getmouselocation --shell | sed -n 's/^X=/from_x=/p; s/^Y=/from_y=/p')"
    for step in 1 2 3 4 5 6 7 8; do
        at="$((from_x + (x - from_x) * step / 8)) $((from_y + (y - from_y) * step / 8))"
        if [ "$at" = "$last" ] || [ "$at" = "$from_x $from_y" ]; then continue; fi
        last_move_at_us=$(now_us)
        xdotool mousemove --sync "${at% *}" "${at#* }"
        last=$at
        sleep 0.02
    done
}

# window_is active|inactive: the gadget's window is the active one, or not, as the program itself knows it.
window_is() { [ "$(/usr/bin/python3 "$(dirname "$0")/accessible_day.py" --etat-fenetre 2>/dev/null)" = "$1" ]; }

# Pointing at a day of the calendar, while another window is active, shows after
# about half a second a tooltip of that day's facts, inside the screen, its first line
# the day written out; it goes when the pointer leaves, and none comes over a text
# button. A screen reader reads the same facts over AT-SPI as the day's description,
# those that `solvane --texte` gives for that date, the sun's line among them, which
# the bubble shows.
case_facts() {
    start_program_on_leap_day "$program" "" --screen-reader

    # The 1st of the month is in the grid's first rows, away from its selected 29th.
    click_calendar_day 29 1
    read -r x y <<<"$clicked_cell"
    wait_until 20 "Solvane sait que sa fenêtre cliquée est active" window_is active
    # The gadget is pointed at while another window is active.
    start_other_window xlogo -geometry 100x100+0+0
    xdotool search --sync --class '^xlogo$' windowactivate --sync >/dev/null 2>&1 ||
        fail "la fenêtre xlogo ne devient pas active"
    # Qt closes a bubble whenever a window's activation changes; on a loaded machine the
    # gadget can hear of xlogo's long after the window manager made it: the glide starts
    # once the gadget itself says it is not the active window.
    wait_until 20 "Solvane sait que sa fenêtre n'est plus active" window_is inactive
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
    says "$left $top $width $((height / 3))" 'jeudi 1er février 2024' 0.75 février 2024 || fail "la bulle ne dit pas « jeudi 1er février 2024 » : $(cat "$work/reading.log")"
    facts=$("$program" --texte 2024-02-01 | grep -v -e "jour de l'année" -e 'bissextile')
    says "$left $top $width $height" "$facts" 0.9 Soleil lever coucher ||
        fail "la bulle ne montre pas le soleil : $(cat "$work/reading.log")"

    pointer_to "${kBackgroundPoint% *}" "${kBackgroundPoint#* }"
    wait_until 5 "la bulle se ferme hors du calendrier" eval '! popup_box >/dev/null'
    read -r x y <<<"$(box_centre cejour)"
    pointer_to "$x" "$y"
    sleep 1.5  # the absence of a tooltip can only be waited for
    ! popup_box >/dev/null || fail "une bulle s'ouvre sur « Aujourd'hui »"
    # Over AT-SPI: the 1st's description is its date, its name day, its sun and its moon, as the terminal says them.
    /usr/bin/python3 "$(dirname "$0")/accessible_day.py" 1 >"$work/accessible.log" 2>&1 ||
        fail "AT-SPI ne donne pas la case du 1 : $(cat "$work/accessible.log")"
    description=$(sed -n '1,/^--$/p' "$work/accessible.log" | sed '$d')
    [ "$description" = "$facts" ] || fail "la description lue par AT-SPI « $description » n'est pas « $facts »"
    [[ $description == *$'\nSoleil : lever '*', coucher '*' de jour ('* ]] || fail "pas de ligne du soleil : « $description »"
    say "la bulle du 1er février s'ouvre en $waited_ms ms dans l'écran, soleil compris, et AT-SPI la lit, aucune sur « Aujourd'hui »"
}

# The name of 1 February is one word of 255 letters: the day's tooltip is no wider
# than about 400 pixels, and lies inside the screen.
case_long_name() {
    window_test_begin --reading --at '2024-02-29 10:00:00'
    local executable folder word
    executable=$(copy_program "$program")
    folder=$(dirname "$executable")
    grep -q $'^1,Ella\r$' "$folder/fetes.txt" || fail "la liste des fêtes n'a pas de ligne 1,Ella pour le 1er février"
    word=$(printf 'W%.0s' {1..255})
    sed -i "s/^1,Ella\r\$/1,$word\r/" "$folder/fetes.txt"
    start_program --wait "$executable"
    click_calendar_day 29 1
    read -r x y <<<"$clicked_cell"
    pointer_to "$((x + 2))" "$y"
    wait_until 5 "une bulle s'ouvre sur le 1er février" eval 'popup_box >/dev/null'
    read -r left top width height <<<"$(popup_box)"
    ((width <= 420)) || fail "la bulle mesure $width pixels de large, plus de 400"
    ((left >= 0 && top >= 0 && left + width <= screen_width && top + height <= screen_height)) ||
        fail "la bulle déborde de l'écran : $left,$top ${width}x$height"
    say "un nom de 255 lettres : la bulle mesure ${width}x$height, dans l'écran"
}

# agenda_with_events DAY...: an .ics agenda of the test's own folder, listed in the
# settings, with a meeting from 14:00 to 15:30 on each DAY (YYYYMMDD, floating time);
# written beside it and renamed over it, as an editor or a sync saves.
agenda_with_events() {
    local day
    {
        printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane//tests//FR\r\n'
        for day in "$@"; do
            printf 'BEGIN:VEVENT\r\nUID:%s@solvane\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:%sT140000\r\n' "$day" "$day"
            printf 'DTEND:%sT153000\r\nSUMMARY:Réunion de service\r\nEND:VEVENT\r\n' "$day"
        done
        printf 'END:VCALENDAR\r\n'
    } >"$work/travail.ics.new"
    mv "$work/travail.ics.new" "$work/travail.ics"
    mkdir -p "$(dirname "$(settings_file)")"
    printf '[agendas]\n1\\source=%s\nsize=1\n' "$work/travail.ics" >"$(settings_file)"
}

# underlined_days_are DAYS: among the cells of 13, 14, 15, 28 and 29 February and of 0
# (31 January), 31 and 34 (2 and 5 March), counted from the selected 29th, exactly DAYS
# are underlined.
underlined_days_are() {
    read_window underlined 29 0 13 14 15 28 29 31 34 || fail "grille illisible : $(cat "$work/reading.log")"
    [ "$(cat "$work/reading.log")" = "$1" ]
}

# A day holding an event is underlined in the grid, whatever its cell looks like (a day
# of the month, the selected one in white on navy, a faded one of the next month), and
# its tooltip lists the event; the days around it are not. The agenda changed on the
# disk moves the line without anything else.
case_events() {
    window_test_begin --reading --at '2024-02-29 10:00:00'
    agenda_with_events 20240214 20240229 20240305
    start_program --copy --wait "$program"
    # The agendas are read on a thread of their own: the grid is drawn first without them.
    poll_until 20 underlined_days_are '14 29 34' ||
        fail "les jours soulignés ne sont pas le 14, le 29 février et le 5 mars : « $(cat "$work/reading.log") »"

    click_calendar_day 29 14
    read -r x y <<<"$clicked_cell"
    pointer_to "$((x + 2))" "$y"
    wait_until 5 "une bulle s'ouvre sur le 14 février" eval 'popup_box >/dev/null'
    read -r left top width height <<<"$(popup_box)"
    says "$left $top $width $height" "$("$program_folder/solvane" --texte 2024-02-14 | grep -v -e "jour de l'année" -e bissextile)" \
        0.75 '14 h 00' Réunion || fail "la bulle du 14 février ne dit pas la réunion : $(cat "$work/reading.log")"
    pointer_to "${kBackgroundPoint% *}" "${kBackgroundPoint#* }"
    wait_until 5 "la bulle se ferme hors du calendrier" eval '! popup_box >/dev/null'
    click_calendar_day 14 29

    agenda_with_events 20240215 20240229 20240305
    poll_until 20 underlined_days_are '15 29 34' ||
        fail "le fichier changé ne souligne pas le 15 au lieu du 14 : « $(cat "$work/reading.log") »"
    say "soulignés : le 14, le 29 février choisi et le 5 mars pâli, ni leurs voisins ; la bulle du 14 dit la réunion ; le fichier changé souligne le 15"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
