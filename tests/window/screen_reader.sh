#!/bin/bash
# What a screen reader hears of the window, one self-contained case per run (a
# function case_NAME below), listened to as a screen reader listens over AT-SPI: the
# events of the focus, of the states and of the names, since Qt keeps its popup
# menus out of the application's tree. The menu opened from the keyboard gives the
# focus to its first entry at once; « Toujours au-dessus » is heard as an entry that
# can be ticked, ticked or not, and the regions of « Jours fériés » as radio
# buttons; the grid is named after the month it shows, and anew when the page turns.
# Usage: screen_reader.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# The roles of an entry that can be ticked, and of one of a group where one entry
# alone is ticked: Qt's bridge has no role of its own for either menu entry, and the
# program reads them as a check box and a radio button; a bridge that had them
# would say them as a menu's.
readonly kCheckRoles='check box|check menu item'
readonly kRadioRoles='radio button|radio menu item'
readonly kFocused='object:state-changed:focused 1'
readonly kKeepAbove='Toujours au-dessus des autres fenêtres'

# heard EVENT ROLES NAME [STATE|-STATE]...: the screen reader heard EVENT about an
# object of one of ROLES (between |) named NAME, in every STATE and in no -STATE.
heard() {
    local event=$1 roles=$2 name=$3
    shift 3
    awk -F '\t' -v event="$event" -v roles="^($roles)\$" -v name="$name" -v wanted="$*" '
        BEGIN { count = split(wanted, states, " ") }
        $1 == event && $2 ~ roles && $3 == name {
            for (i = 1; i <= count; i++) {
                state = states[i]
                absent = sub(/^-/, "", state)
                if ((index($4, "," state ",") > 0) == absent) next
            }
            found = 1
            exit
        }
        END { exit !found }' "$work/heard.log"
}

# The listener first, then the program on a French desktop on 29 February 2024,
# whose grid takes the focus at the start, named after February.
start_listened_program() {
    window_test_begin --screen-reader
    /usr/bin/python3 "$(dirname "$0")/screen_reader_events.py" "$work/heard.log" 2>"$work/listener-errors.log" &
    remember_pid "$!"
    # Its start is the accessibility bus's: the bus launcher and the registry, started
    # on demand, and Python's bindings, which a loaded machine can stretch past 20 s.
    wait_until 60 "le lecteur d'écran écoute" grep -qsx ready "$work/heard.log"
    french_setting_at '2024-02-29 10:00:00'
    start_program --copy --wait "$program"
    wait_until 20 "la grille prend le focus, dite « Calendrier, février 2024 »" \
        heard "$kFocused" table 'Calendrier, février 2024'
}

# Shift+F10: the first entry is heard at once, as an unticked entry that can be ticked.
case_shift_f10() {
    start_listened_program
    xdotool key shift+F10
    wait_until 20 "Maj+F10 : « $kKeepAbove » dit d'emblée, case à cocher non cochée" \
        heard "$kFocused" "$kCheckRoles" "$kKeepAbove" -checked
    say "Maj+F10 : « $kKeepAbove » dit d'emblée, case à cocher non cochée"
}

# The Menu key: the same; ticked by its key, the entry is heard ticked the next time.
case_menu_key() {
    start_listened_program
    xdotool key Menu
    wait_until 20 "touche Menu : « $kKeepAbove » dit d'emblée, case à cocher non cochée" \
        heard "$kFocused" "$kCheckRoles" "$kKeepAbove" -checked
    xdotool key t
    wait_until 20 "« $kKeepAbove » coché garde la fenêtre au-dessus" is_above
    xdotool key Menu
    wait_until 20 "touche Menu : « $kKeepAbove » dit cochée" heard "$kFocused" "$kCheckRoles" "$kKeepAbove" checked
    say "touche Menu : « $kKeepAbove » dit d'emblée, non cochée puis cochée"
}

# « Jours fériés » opened by its key: its regions are radio buttons, the nation ticked.
case_region() {
    start_listened_program
    xdotool key Menu
    wait_until 20 "le menu s'ouvre sur sa première entrée" heard "$kFocused" '.*' "$kKeepAbove"
    xdotool key j
    wait_until 20 "« France (national) » dit bouton radio coché" \
        heard "$kFocused" "$kRadioRoles" 'France (national)' checked
    xdotool key Down
    wait_until 20 "« Alsace-Moselle » dit bouton radio non coché" \
        heard "$kFocused" "$kRadioRoles" 'Alsace-Moselle' -checked
    say "les régions sont dites boutons radio, la nation cochée, l'Alsace-Moselle non"
}

# « >> » turns the page: the grid is named anew after March.
case_grid_month() {
    start_listened_program
    click avance
    wait_until 20 "après « >> », la grille se nomme « Calendrier, mars 2024 »" \
        heard 'object:property-change:accessible-name 0' table 'Calendrier, mars 2024'
    say "après « >> », la grille se nomme « Calendrier, mars 2024 »"
}

"case_$case_name"
