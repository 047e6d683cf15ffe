# shellcheck shell=bash disable=SC2034  # the constants and variables are the tests' own
# Shared by the real-window tests: each test sources this file, then starts its own
# X server, optionally openbox, and the program from a private copy of its folder,
# and drives the window with the mouse as a user would. The session itself (the
# private folder, Xvfb, openbox, the waits, the failures, the end of every process)
# is tools/lib/x_session.sh's; the boxes of the controls are those of the table that
# the build writes from the window (SOLVANE_WINDOW_BOXES, which ctest sets).


# shellcheck source=../../tools/lib/faked_clock.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/faked_clock.sh"
# shellcheck source=../../tools/lib/x_session.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/x_session.sh"

# The screen's own colour: nothing in the window is this green, so a pixel of it
# where the window lies means the window lets the screen show through.
readonly kRootColourName='#00c850'
readonly kRootColour='0 200 80'
# The window's flat background grey.
readonly kBackgroundGrey='176 176 176'
# A point of the bare background between the two panels, under no control.
readonly kBackgroundPoint='340 200'
# Builds that run slower (sanitizers) set SOLVANE_TEST_SLOWDOWN to a whole factor,
# which gives start-up and the waits for the program more time.
readonly kSlowdown=${SOLVANE_TEST_SLOWDOWN:-1}

program_folder=''
window=''
origin_x=0
origin_y=0

# Starts the harness: the session (a private folder, also HOME, and the end of every
# process started here, however the test ends), the programs started in it drawing
# with Qt's X platform.
harness_start() {
    require_commands Xvfb openbox xdotool xprop xwininfo xsetroot import xlogo od md5sum timeout
    [ -n "$kWindowWidth" ] ||
        fail "SOLVANE_WINDOW_BOXES ne nomme pas les boîtes de la fenêtre (window_boxes.txt du dossier de construction)"
    x_session_begin
    export QT_QPA_PLATFORM=xcb
    # A test that reads the window over AT-SPI sets kScreenReaderBus before it starts.
    [ -z "${kScreenReaderBus:-}" ] || start_accessibility_bus
}

# A private X server on a free display number, its screen painted kRootColour.
start_display() {
    start_xvfb
    xsetroot -solid "$kRootColourName"
}

start_window_manager() {
    start_openbox
    # openbox leaves the screen's colour alone, but paint it again to be sure.
    xsetroot -solid "$kRootColourName"
}

# copy_program_folder EXECUTABLE: copies the files of the executable's folder (the
# program and the data files it reads beside itself) into a fresh folder and prints
# the path of the copied executable.
copy_program_folder() {
    local from to
    from=$(dirname "$1")
    to=$(mktemp -d "$work/program.XXXXXX")
    find "$from" -maxdepth 1 -type f -exec cp -p {} "$to" \;
    printf '%s/%s\n' "$to" "$(basename "$1")"
}

# start_program EXECUTABLE: runs a copy of the program and waits until its window
# is shown and drawn; sets window, origin_x and origin_y.
start_program() {
    launch_program "$(copy_program_folder "$1")"
    wait_for_main_window
}

# The usual beginning of a test: its work folder, the display, openbox, and the
# program (from a copy of its folder) with its window on the screen.
start_managed_program() {
    harness_start
    start_display
    start_window_manager
    start_program "$1"
}

# start_program_on_leap_day EXECUTABLE [LANG]: the beginning of a test that reads
# the screen: the program (from a copy of its folder) on a French desktop, or on one
# whose only locale variable is LANG, with its clock at 29 February 2024, 10:00, its
# window on the screen, once the test's own moon rule has been checked on that date,
# whose picture is known to be 19.
start_program_on_leap_day() {
    harness_start
    require_reading_commands
    [ "$(/usr/bin/python3 "$kScreenReading" moon-number 2024-02-29)" = 19 ] ||
        fail "la règle de la lune du test ne donne pas 19 pour le 2024-02-29"
    start_display
    start_window_manager
    if (( $# > 1 )); then
        desktop_setting_at "$2" '2024-02-29 10:00:00'
    else
        french_setting_at '2024-02-29 10:00:00'
    fi
    start_program "$1"
}

window_gone() { # window_gone WINDOW
    ! xwininfo -id "$1" >/dev/null 2>&1
}

# Ends the program started last and waits until its window is gone.
stop_program() {
    local old_window=$window
    stop_process "$program_pid"
    program_pid=''
    wait_until 5 "la fenêtre du programme arrêté se ferme" window_gone "$old_window"
}

start_other_window() { # start_other_window COMMAND...
    "$@" >"$work/other.log" 2>&1 &
    remember_pid "$!"
}

# --- Where the window is ------------------------------------------------------

window_origin() { # "X Y" of the program's window on the screen
    local x y width height
    read -r x y width height < <(window_geometry "$window")
    echo "$x $y"
}

window_size() { # window_size WINDOW: "WIDTH HEIGHT"
    local x y width height
    read -r x y width height < <(window_geometry "$1")
    echo "$width $height"
}

read_origin() {
    local origin
    origin=$(window_origin)
    [ -n "${origin// /}" ] || fail "xwininfo ne lit plus la fenêtre $window"
    read -r origin_x origin_y <<<"$origin"
}

window_is_at() { # window_is_at X Y
    [ "$(window_origin)" = "$1 $2" ]
}

# --- Window states ------------------------------------------------------------

has_net_wm_state() {
    xprop -id "$window" _NET_WM_STATE | grep -qw -- "$1"
}

is_above() {
    has_net_wm_state _NET_WM_STATE_ABOVE
}

is_iconic() {
    xprop -id "$window" WM_STATE | grep -q 'window state: Iconic' || has_net_wm_state _NET_WM_STATE_HIDDEN
}

# --- The mouse, in window coordinates ---------------------------------------

pointer_to() { # pointer_to X Y (window pixels)
    xdotool mousemove --sync "$((origin_x + $1))" "$((origin_y + $2))"
}

click_in_box() { # click_in_box "LEFT TOP WIDTH HEIGHT": a left click at the box's centre
    local x y
    read -r x y <<<"$(box_centre "$1")"
    pointer_to "$x" "$y"
    xdotool click 1
}

# --- Pixels -------------------------------------------------------------------

screenshot() {
    import -silent -window root -depth 8 "rgb:$work/screen.rgb"
}

# pixel X Y: "R G B" of the last screenshot at screen pixel (X, Y).
pixel() {
    local r g b
    read -r r g b < <(od -An -tu1 -j "$(( ($2 * screen_width + $1) * 3 ))" -N 3 "$work/screen.rgb")
    printf '%s %s %s\n' "$r" "$g" "$b"
}

window_pixel() { # window_pixel X Y (window pixels)
    pixel "$((origin_x + $1))" "$((origin_y + $2))"
}

screen_point_is_near() { # screen_point_is_near X Y "R G B" TOLERANCE (screen pixels)
    screenshot
    colours_near "$(pixel "$1" "$2")" "$3" "$4"
}

colours_near() { # colours_near "R G B" "R G B" TOLERANCE
    local r1 g1 b1 r2 g2 b2
    read -r r1 g1 b1 <<<"$1"
    read -r r2 g2 b2 <<<"$2"
    (( r1 - r2 <= $3 && r2 - r1 <= $3 && g1 - g2 <= $3 && g2 - g1 <= $3 && b1 - b2 <= $3 && b2 - b1 <= $3 ))
}

# window_point_is_near X Y "R G B" TOLERANCE: takes a screenshot and compares.
window_point_is_near() {
    screenshot
    colours_near "$(window_pixel "$1" "$2")" "$3" "$4"
}

screen_point_is_not() { # screen_point_is_not X Y "R G B" (screen pixels)
    screenshot
    ! colours_near "$(pixel "$1" "$2")" "$3" 0
}

# box_picture "LEFT TOP WIDTH HEIGHT" FORMAT: what the screen shows inside a box of
# the window (window pixels), 8 bits a channel, on standard output in FORMAT (rgb,
# png).
box_picture() {
    local left top width height
    read -r left top width height <<<"$1"
    import -silent -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" \
        -depth 8 "$2:-"
}

# --- Waiting for the program and openbox to catch up --------------------------

box_checksum() { # box_checksum "LEFT TOP WIDTH HEIGHT" (window pixels)
    box_picture "$1" rgb | md5sum
}

box_differs_from() { # box_differs_from "BOX" CHECKSUM
    [ "$(box_checksum "$1")" != "$2" ]
}

# The program handles mouse input in the order it comes. A click on ">>" turns the
# calendar to the next month; once the calendar shows it, every press, move and
# release sent before has been handled, and anything those did to the window has
# reached the X server (and then openbox). The click goes where the window is now,
# so that after a wrong move the caller's own check still reports it.
wait_for_program() {
    local before expected_x=$origin_x expected_y=$origin_y
    read_origin
    before=$(box_checksum "${kBoxes[Cal1]}")
    click_in_box "${kBoxes[avance]}"
    wait_until 5 'le calendrier change après un clic sur « >> »' box_differs_from "${kBoxes[Cal1]}" "$before"
    origin_x=$expected_x
    origin_y=$expected_y
    wait_for_window_manager
}

# --- Dragging -----------------------------------------------------------------

# left_drag X Y DX DY [COMMAND...]: presses the left button at window point (X, Y);
# if COMMAND is given, waits until it holds (the sign that the program has handled
# the press) and then for openbox to catch up, so that a move the press started in
# openbox is under way before the mouse moves; moves the mouse by (DX, DY) in two
# steps; checks that the window has followed it exactly; releases the button.
# Updates origin_x and origin_y.
left_drag() {
    local x=$1 y=$2 dx=$3 dy=$4
    shift 4
    local from_x=$((origin_x + x)) from_y=$((origin_y + y))
    local target_x=$((origin_x + dx)) target_y=$((origin_y + dy))
    xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
    if (( $# > 0 )); then
        poll_until 5 "$@" || { xdotool mouseup 1; fail "un appui gauche au point ($x, $y) de la fenêtre n'a pas mené à : $*"; }
        wait_for_window_manager
    fi
    xdotool mousemove --sync "$((from_x + dx / 2))" "$((from_y + dy / 2))" mousemove --sync "$((from_x + dx))" "$((from_y + dy))"
    if ! poll_until 5 window_is_at "$target_x" "$target_y"; then
        xdotool mouseup 1
        fail "la souris a tiré la fenêtre de ($dx, $dy) depuis $origin_x $origin_y : elle est en $(window_origin), pas en $target_x $target_y"
    fi
    xdotool mouseup 1
    origin_x=$target_x
    origin_y=$target_y
}

# --- Programs started in a chosen setting ---------------------------------------
# Used by the end-to-end tests, which read what the window shows: they start the
# program in French, on a clock that they choose, from a copy of its folder that they
# may change first, and read the window's texts by OCR (screen_reading.py).

kScreenReading="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/screen_reading.py"
readonly kScreenReading
program_environment=()
launched_at=0
start_took_us=0
start_took_cpu_ms=0

require_reading_commands() {
    require_commands /usr/bin/python3 tesseract convert xev
    # What OCR has read, kept for the test's next readings of the same pixels.
    export SCREEN_READING_CACHE="$work/readings.json"
    tesseract --list-langs 2>/dev/null | grep -qx fra || fail "tesseract ne connaît pas le français (tesseract-ocr-fra)"
    faked_clock_library >/dev/null || fail "libfaketime est absente (paquet faketime)"
}

# french_setting_at "YYYY-MM-DD hh:mm:ss": sets program_environment to a French
# desktop whose clock starts at that local time when the program starts and runs on
# from there. libfaketime moves the wall clock only: the monotonic clock that the
# timers count with is left as it is.
french_setting_at() {
    faked_clock_at "$1" || fail "libfaketime est absente (paquet faketime)"
    program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
}

# desktop_setting_at LANG "YYYY-MM-DD hh:mm:ss": the same on a desktop whose locale
# is LANG alone (en_US.UTF-8, say): every other locale variable is removed.
desktop_setting_at() {
    faked_clock_at "$2" || fail "libfaketime est absente (paquet faketime)"
    program_environment=(-u LC_ALL -u LC_TIME -u LC_MESSAGES -u LC_NUMERIC -u LANGUAGE "LANG=$1"
                         "${clock_environment[@]}")
}

# launch_program EXECUTABLE [COMMAND...]: runs an executable (a copy made by
# copy_program_folder) from $work with program_environment added, through COMMAND
# when one is given (to run it as another user), its standard output in program.log
# and its standard error in program-errors.log, and returns at once. Sets
# program_pid, program_folder and launched_at.
launch_program() {
    local executable=$1
    shift
    program_folder=$(dirname "$executable")
    launched_at=$(now_us)
    (cd "$work" && exec "$@" env "${program_environment[@]}" "$executable") \
        >"$work/program.log" 2>"$work/program-errors.log" &
    program_pid=$!
    remember_pid "$program_pid"
}

# Microseconds since launch_program started the program.
since_launch_us() {
    echo $(( $(now_us) - launched_at ))
}

visible_solvane_windows() {
    xdotool search --onlyvisible --name '^Solvane$' 2>/dev/null || true
}

a_solvane_window_is_visible() {
    [ -n "$(visible_solvane_windows)" ]
}

# Waits until the program launched last shows its main window, drawn, and sets
# start_took_us to the time that took; sets window, origin_x and origin_y. A message
# box (also titled Solvane) in its place fails the test.
wait_for_main_window() {
    poll_until $((15 * kSlowdown)) a_solvane_window_is_visible || {
        process_running "$program_pid" || fail "le programme s'est arrêté avant de montrer une fenêtre"
        fail "aucune fenêtre visible titrée Solvane après $((15 * kSlowdown)) s"
    }
    window=$(visible_solvane_windows | head -n 1)
    [ "$(window_size "$window")" = "$kWindowWidth $kWindowHeight" ] ||
        fail "la fenêtre titrée Solvane mesure $(window_size "$window") : ce n'est pas la fenêtre principale (une boîte d'erreur ?)"
    read_origin
    local x y
    read -r x y <<<"$kBackgroundPoint"
    wait_until $((10 * kSlowdown)) "la fenêtre dessine son fond gris" \
        window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
    start_took_us=$(since_launch_us)
    start_took_cpu_ms=$(processor_ms "$program_pid")
}

# processor_ms PID: the processor time a process has spent so far, in milliseconds,
# its own and the kernel's for it. Unlike the time on the clock, a loaded machine
# does not make it grow.
processor_ms() {
    local fields ticks
    read -r -a fields <<<"$(sed 's/^.*) //' "/proc/$1/stat")"
    ticks=$((fields[11] + fields[12]))  # utime and stime, fields 14 and 15 of the whole line
    echo $((ticks * 1000 / $(getconf CLK_TCK)))
}

# The main window is the one window named Solvane on the screen: no error box beside
# it or in its place.
main_window_alone() {
    [ "$(visible_solvane_windows)" = "$window" ]
}

# --- Reading the window ------------------------------------------------------------
# Each check takes a new screenshot, so that wait_until can repeat it until the
# window shows what it should. What the last reading found goes to reading.log,
# which a failure shows.

screenshot_ppm() {
    import -silent -window root -depth 8 "ppm:$work/screen.ppm"
}

# read_window COMMAND ARGUMENTS...: runs a window command of screen_reading.py on a
# new screenshot.
read_window() {
    local command=$1
    shift
    screenshot_ppm
    /usr/bin/python3 "$kScreenReading" "$command" "$work/screen.ppm" "$origin_x" "$origin_y" "$@" >"$work/reading.log" 2>&1
}

# panels_show DATE: every checked label and the moon picture show what they should
# when DATE (YYYY-MM-DD) is selected, by the name-day list and pictures of the
# program's folder.
panels_show() {
    read_window panel "$1" "$program_folder"
}

box_reads() { # box_reads "LEFT TOP WIDTH HEIGHT" TEXT
    read_window text "$1" "$2"
}

box_shows_picture() { # box_shows_picture "LEFT TOP WIDTH HEIGHT" PICTURE_FILE
    read_window moon "$1" "$2"
}

box_is_plain() { # box_is_plain "LEFT TOP WIDTH HEIGHT" "R G B" TOLERANCE
    read_window plain "$1" "$2" "$3"
}

# The time of day that the clock line shows, in seconds since midnight.
clock_seconds() {
    read_window read "${kBoxes[Label31]}" || return 1
    local time hours minutes seconds
    time=$(grep -o '[0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "$work/reading.log" | head -n 1)
    [ -n "$time" ] || return 1
    IFS=: read -r hours minutes seconds <<<"$time"
    echo $((10#$hours * 3600 + 10#$minutes * 60 + 10#$seconds))
}

clock_reaches() { # clock_reaches SECONDS_SINCE_MIDNIGHT
    local now
    now=$(clock_seconds) || return 1
    ((now >= $1))
}

# pointer_at X Y (window pixels): moves the mouse there, unless it is there already
# (xdotool's --sync waits for the mouse to move, which it does not when it stays).
pointer_at() {
    local x=$((origin_x + $1)) y=$((origin_y + $2))
    [ "$(xdotool getmouselocation --shell | head -n 2 | tr '\n' ' ')" != "X=$x Y=$y " ] || return 0
    xdotool mousemove --sync "$x" "$y"
}

# pointer_glides_to X Y: moves the pointer to a point of the window as a hand does,
# in small steps some 20 ms apart from where it is, rather than in one jump: a
# hand's move brings the window several motion events, the last of them over the
# point. Sets last_move_at_us to when the last step was asked for: what the window
# does after that motion comes later.
last_move_at_us=''
pointer_glides_to() {
    local x=$((origin_x + $1)) y=$((origin_y + $2)) from_x=0 from_y=0 step at_x at_y last=''
    eval "$(xdotool getmouselocation --shell | sed -n 's/^X=/from_x=/p; s/^Y=/from_y=/p')"
    for step in 1 2 3 4 5 6 7 8; do
        at_x=$((from_x + (x - from_x) * step / 8))
        at_y=$((from_y + (y - from_y) * step / 8))
        # --sync waits for the pointer to move, for ever if it is there already.
        if [ "$at_x $at_y" = "$last" ] || [ "$at_x $at_y" = "$from_x $from_y" ]; then continue; fi
        last_move_at_us=$(now_us)
        xdotool mousemove --sync "$at_x" "$at_y"
        last="$at_x $at_y"
        sleep 0.02
    done
}

click_box_times() { # click_box_times COUNT "LEFT TOP WIDTH HEIGHT": left clicks at the box's centre
    local x y
    read -r x y <<<"$(box_centre "$2")"
    pointer_at "$x" "$y"
    xdotool click --repeat "$1" --delay 100 1
}

# click_calendar_day SELECTED DAY: clicks the cell of DAY in the month the calendar
# shows, found from the cell of the SELECTED day; sets clicked_cell to "X Y", the
# window point clicked.
clicked_cell=''
click_calendar_day() {
    read_window day-cell "$1" "$2" || fail "pas de case pour le jour $2 dans le calendrier : $(cat "$work/reading.log")"
    clicked_cell=$(cat "$work/reading.log")
    local x y
    read -r x y <<<"$clicked_cell"
    pointer_at "$x" "$y"
    xdotool click 1
}

# A private session bus on which the programs started afterwards offer what screen
# readers read (AT-SPI, whose own bus the session bus starts when first asked, under
# the private HOME), switched on as a desktop does when a screen reader runs.
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

# The window that the program shows besides its main window (the calendar's month
# list, a tooltip), as "LEFT TOP WIDTH HEIGHT" on the screen; fails while there is none.
popup_box() {
    local id
    for id in $(xdotool search --onlyvisible --classname '^solvane$' 2>/dev/null); do
        [ "$id" != "$window" ] || continue
        window_geometry "$id"
        return 0
    done
    return 1
}

# The window point of the selected day's cell.
selected_calendar_cell() {
    read_window selected-cell || fail "aucun jour choisi dans le calendrier : $(cat "$work/reading.log")"
    cat "$work/reading.log"
}
