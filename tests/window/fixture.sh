# shellcheck shell=bash disable=SC2034  # the constants and variables are the tests' own
# What the real-window tests share on top of the window driver (tools/lib/window_driver.sh):
# their setup, a French desktop on a chosen clock, the calendar's cells, the menu.

# shellcheck source=../../tools/lib/window_driver.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/window_driver.sh"

# The screen's own colour: nothing in the window is this green, so a pixel of it
# where the window lies means the window lets the screen show through.
readonly kScreenColourName='#00c850' kScreenColour='0 200 80'
reading_script="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/expected_panels.py"  # window_reading.py's commands, and more

# window_test_begin [--bare] [--reading] [--screen-reader] [--at "YYYY-MM-DD hh:mm:ss" [--lang LANG]]:
# the session, programs drawing with Qt's X platform, a display painted kScreenColour,
# managed by openbox unless --bare; --reading checks for what OCR needs, --screen-reader
# starts an accessibility bus, --at sets a desktop's clock (french_setting_at).
window_test_begin() {
    local openbox=--openbox reading=false bus=false at='' lang=''
    while (($# > 0)); do
        case $1 in
            --bare) openbox='' ;;
            --reading) reading=true ;;
            --screen-reader) bus=true ;;
            --at | --lang) printf -v "${1#--}" %s "$2"; shift ;;
        esac
        shift
    done
    require_commands Xvfb openbox xdotool xprop xwininfo xsetroot import xlogo od md5sum timeout
    [ -n "$kWindowWidth" ] ||
        fail "SOLVANE_WINDOW_BOXES ne nomme pas les boîtes de la fenêtre (window_boxes.txt du dossier de construction)"
    session_begin
    export QT_QPA_PLATFORM=xcb
    ! $reading || require_reading_commands
    ! $bus || start_accessibility_bus
    start_display $openbox "$kScreenColourName"
    [ -z "$at" ] || french_setting_at "$at" "$lang"
}

# french_setting_at "YYYY-MM-DD hh:mm:ss" [LANG]: program_environment for a French desktop
# (or one whose only locale variable is LANG) whose wall clock starts at that time and runs on.
french_setting_at() {
    faked_clock_at "$1" || fail "libfaketime est absente (paquet faketime)"
    if [ -n "${2:-}" ]; then
        program_environment=(-u LC_ALL -u LC_TIME -u LC_MESSAGES -u LC_NUMERIC -u LANGUAGE "LANG=$2" "${clock_environment[@]}")
    else
        program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
    fi
}

# start_program_on_leap_day PROGRAM [LANG [OPTION...]]: a copy of the program on a French
# desktop (or one of LANG) at 29 February 2024, 10:00, read by OCR, once the test's own
# moon rule gives that date the picture known to be its own, 19.
start_program_on_leap_day() {
    window_test_begin --reading --at '2024-02-29 10:00:00' --lang "${2:-}" "${@:3}"
    [ "$(/usr/bin/python3 "$reading_script" moon-number 2024-02-29)" = 19 ] ||
        fail "la règle de la lune du test ne donne pas 19 pour le 2024-02-29"
    start_program --copy --wait "$1"
}

# A private session bus on which the programs started afterwards offer what screen readers
# read (AT-SPI, whose bus it starts when asked), switched on as when a screen reader runs.
start_accessibility_bus() {
    require_commands dbus-daemon dbus-send /usr/bin/python3
    local address pid
    { read -r address; read -r pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    remember_pid "$pid"
    export DBUS_SESSION_BUS_ADDRESS=$address
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null ||
        fail "le bus d'accessibilité (AT-SPI) ne démarre pas"
}

# click_calendar_day SELECTED DAY: clicks the cell of DAY in the month shown, found
# from the cell of the SELECTED day; sets clicked_cell to "X Y", the point clicked.
clicked_cell=''
click_calendar_day() {
    read_window cell "$1" "$2" || fail "pas de case pour le jour $2 dans le calendrier : $(cat "$work/reading.log")"
    clicked_cell=$(cat "$work/reading.log")
    click "$clicked_cell"
}

settings_file() { echo "$XDG_CONFIG_HOME/solvane/solvane.conf"; }

# pick_from_menu KEY: opens the window's menu by a right click on its background, chooses
# the entry of KEY, and waits until the menu is closed and the program has done it.
pick_from_menu() {
    click "$kBackgroundPoint" 3
    wait_until 5 "le menu s'ouvre" popup_open
    xdotool key "$1"
    wait_until 5 "le menu se ferme" eval '! popup_open'
    wait_for_program
}

