# shellcheck shell=bash disable=SC2034  # the constants and variables are the tests' own
# Shared by the real-window tests: each test sources this file, then starts its own
# X server, optionally openbox, and the program from a private copy of its folder,
# and drives the window with the mouse as a user would.
#
# Every wait here is for a condition, with a deadline; the short pause inside
# wait_until is only the interval between two looks.

set -eu

# shellcheck source=../faked_clock.sh
. "$(dirname "${BASH_SOURCE[0]}")/../faked_clock.sh"

readonly kScreenWidth=1024
readonly kScreenHeight=768
# The screen's own colour: nothing in the window is this green, so a pixel of it
# where the window lies means the window lets the screen show through.
readonly kRootColourName='#00c850'
readonly kRootColour='0 200 80'
# The window's flat background grey.
readonly kBackgroundGrey='176 176 176'
readonly kWindowWidth=609
readonly kWindowHeight=447

# Boxes of the controls used here, in window pixels: left, top, width, height.
readonly kCalendarBox='40 88 289 225'    # Cal1
readonly kNextMonthBox='192 360 33 17'   # avance, ">>"
readonly kMinimiseBox='528 24 17 17'    # CmdMinimise
readonly kQuitBox='552 24 17 17'        # cmdQuit
# A point of the bare background between the two panels, under no control.
readonly kBackgroundPoint='340 200'

work=''
watchdog_pid=''
xvfb_pid=''
wm_pid=''
program_pid=''
program_status=''
program_folder=''
window=''
origin_x=0
origin_y=0
extra_pids=()

fail() {
    printf 'FAIL: %s\n' "$*" >&2
    show_logs >&2
    exit 1
}

show_logs() {
    local log
    for log in "$work"/*.log; do
        [ -s "$log" ] || continue
        printf -- '--- %s ---\n' "${log##*/}"
        tail -n 20 "$log"
    done
}

now_us() {
    local t=${EPOCHREALTIME//[.,]/}
    printf '%s\n' "$t"
}

# poll_until SECONDS COMMAND...: runs COMMAND until it succeeds (status 0) or
# SECONDS have passed (status 1).
poll_until() {
    local seconds=$1
    shift
    local deadline=$(( $(now_us) + seconds * 1000000 ))
    until "$@"; do
        (( $(now_us) <= deadline )) || return 1
        sleep 0.02
    done
}

# wait_until SECONDS WHAT COMMAND...: the same, but fails the test with "timed out
# waiting for WHAT" at the deadline.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    poll_until "$seconds" "$@" || fail "timed out after ${seconds} s waiting for ${what}"
}

# True while PID is a live process (a child that has ended but is not yet reaped
# is a zombie and counts as ended).
process_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    local deadline=$(( $(now_us) + 3000000 ))
    while process_running "$pid" && (( $(now_us) < deadline )); do
        sleep 0.02
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    local pid
    stop_process "$watchdog_pid"
    stop_process "$program_pid"
    for pid in "${extra_pids[@]}"; do
        stop_process "$pid"
    done
    stop_process "$wm_pid"
    stop_process "$xvfb_pid"
    [ -z "$work" ] || rm -rf "$work"
    exit "$status"
}

# Should this script be killed outright, so that no trap runs, a watchdog still
# ends every process it started: it waits for the script's end, then kills the
# processes listed in $work/pids.
start_watchdog() {
    local parent=$$
    (
        tail --pid="$parent" -f /dev/null
        [ -f "$work/pids" ] || exit 0
        while read -r pid; do
            kill -KILL "$pid"
        done <"$work/pids"
        rm -rf "$work"
    ) >/dev/null 2>&1 &
    watchdog_pid=$!
}

remember_pid() {
    echo "$1" >>"$work/pids"
}

require_commands() {
    local missing='' command
    for command in Xvfb openbox xdotool xprop xwininfo xsetroot import xlogo od md5sum timeout; do
        command -v "$command" >/dev/null 2>&1 || missing="$missing $command"
    done
    [ -z "$missing" ] || fail "missing commands:$missing (run tools/install-packages test)"
}

# Starts the harness: a private folder (also HOME, so nothing lands in the real
# one) and the clean-up of every process started here, however the test ends.
harness_start() {
    require_commands
    work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-window.XXXXXX")
    trap cleanup EXIT
    trap 'exit 130' INT TERM HUP
    start_watchdog
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
    unset XAUTHORITY
    export QT_QPA_PLATFORM=xcb
}

display_number_written() {
    grep -qx '[0-9][0-9]*' "$work/display" 2>/dev/null
}

# A private X server on a free display number, its screen painted kRootColour.
start_display() {
    Xvfb -displayfd 3 -screen 0 "${kScreenWidth}x${kScreenHeight}x24" -nolisten tcp -noreset \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    remember_pid "$xvfb_pid"
    wait_until 10 "Xvfb to report its display number" display_number_written
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    xsetroot -solid "$kRootColourName"
}

window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# openbox with a minimal configuration: new windows centred on the empty screen and
# focused, no edge resistance (it would bend a drag near the screen's edges), one
# desktop, and no mouse or key bindings (the empty sections replace openbox's
# defaults, which would raise a window on any click and so hide whether the window
# keeps itself above).
start_window_manager() {
    cat >"$work/openbox.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <desktops><number>1</number></desktops>
  <mouse></mouse>
  <keyboard></keyboard>
</openbox_config>
EOF
    openbox --sm-disable --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    remember_pid "$wm_pid"
    wait_until 10 "openbox to manage the screen" window_manager_running
    # openbox announces itself before it has finished starting, and a window mapped
    # in between is never managed: wait until it answers a request of ours.
    wait_until 10 "openbox to publish its desktops" window_manager_publishes_desktops
    wait_for_window_manager
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
    local executable
    executable=$(copy_program_folder "$1")
    program_folder=$(dirname "$executable")
    (cd "$work" && exec "$executable") >"$work/program.log" 2>&1 &
    program_pid=$!
    remember_pid "$program_pid"
    window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
    if [ -z "$window" ]; then
        process_running "$program_pid" || fail "the program ended before showing its window"
        fail "no visible window named Solvane after 15 s"
    fi
    read_origin
    local x y
    read -r x y <<<"$kBackgroundPoint"
    wait_until 10 "the window to draw its grey background" window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
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
    [ "$(python3 "$kScreenReading" moon-number 2024-02-29)" = 19 ] ||
        fail "the test's moon rule does not give 19 for 2024-02-29"
    start_display
    start_window_manager
    if (( $# > 1 )); then
        desktop_setting_at "$2" '2024-02-29 10:00:00'
    else
        french_setting_at '2024-02-29 10:00:00'
    fi
    launch_program "$(copy_program_folder "$1")"
    wait_for_main_window
}

window_gone() { # window_gone WINDOW
    ! xwininfo -id "$1" >/dev/null 2>&1
}

# Ends the program started last and waits until its window is gone.
stop_program() {
    local old_window=$window
    stop_process "$program_pid"
    program_pid=''
    wait_until 5 "the window of the stopped program to close" window_gone "$old_window"
}

program_ended() {
    process_running "$program_pid" && return 1
    wait "$program_pid" && program_status=0 || program_status=$?
    program_pid=''
    return 0
}

start_other_window() { # start_other_window COMMAND...
    "$@" >"$work/other.log" 2>&1 &
    extra_pids+=($!)
    remember_pid "$!"
}

# --- Where the window is ------------------------------------------------------

window_origin() {
    xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF } END { print x, y }'
}

read_origin() {
    local origin
    origin=$(window_origin)
    [ -n "${origin// /}" ] || fail "xwininfo cannot read window $window any more"
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
    local left top width height
    read -r left top width height <<<"$1"
    pointer_to "$((left + width / 2))" "$((top + height / 2))"
    xdotool click 1
}

# --- Pixels -------------------------------------------------------------------

screenshot() {
    import -silent -window root -depth 8 "rgb:$work/screen.rgb"
}

# pixel X Y: "R G B" of the last screenshot at screen pixel (X, Y).
pixel() {
    local r g b
    read -r r g b < <(od -An -tu1 -j "$(( ($2 * kScreenWidth + $1) * 3 ))" -N 3 "$work/screen.rgb")
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

# --- Waiting for the program and openbox to catch up --------------------------

box_checksum() { # box_checksum "LEFT TOP WIDTH HEIGHT" (window pixels)
    local left top width height
    read -r left top width height <<<"$1"
    import -silent -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" \
        -depth 8 rgb:- | md5sum
}

box_differs_from() { # box_differs_from "BOX" CHECKSUM
    [ "$(box_checksum "$1")" != "$2" ]
}

number_of_desktops_is() {
    [ "$(xdotool get_num_desktops 2>/dev/null)" = "$1" ]
}

# openbox handles its requests in the order they come: once it has carried out a
# request sent now, it has carried out every request the program sent before.
wait_for_window_manager() {
    [ -n "$wm_pid" ] || return 0
    local desktops
    desktops=$(( $(xdotool get_num_desktops) + 1 ))
    xdotool set_num_desktops "$desktops"
    wait_until 5 "openbox to handle a request" number_of_desktops_is "$desktops"
}

# The program handles mouse input in the order it comes. A click on ">>" turns the
# calendar to the next month; once the calendar shows it, every press, move and
# release sent before has been handled, and anything those did to the window has
# reached the X server (and then openbox). The click goes where the window is now,
# so that after a wrong move the caller's own check still reports it.
wait_for_program() {
    local before expected_x=$origin_x expected_y=$origin_y
    read_origin
    before=$(box_checksum "$kCalendarBox")
    click_in_box "$kNextMonthBox"
    wait_until 5 'the calendar to change after a click on ">>"' box_differs_from "$kCalendarBox" "$before"
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
        poll_until 5 "$@" || { xdotool mouseup 1; fail "a left press at window point ($x, $y) did not lead to: $*"; }
        wait_for_window_manager
    fi
    xdotool mousemove --sync "$((from_x + dx / 2))" "$((from_y + dy / 2))" mousemove --sync "$((from_x + dx))" "$((from_y + dy))"
    if ! poll_until 5 window_is_at "$target_x" "$target_y"; then
        xdotool mouseup 1
        fail "the mouse dragged the window by ($dx, $dy) from $origin_x $origin_y: it is at $(window_origin), not at $target_x $target_y"
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

require_reading_commands() {
    local missing='' command
    for command in python3 tesseract convert xev; do
        command -v "$command" >/dev/null 2>&1 || missing="$missing $command"
    done
    [ -z "$missing" ] || fail "missing commands:$missing (run tools/install-packages test)"
    tesseract --list-langs 2>/dev/null | grep -qx fra || fail "tesseract has no French (tesseract-ocr-fra)"
    faked_clock_library >/dev/null || fail "libfaketime is missing (faketime)"
}

# french_setting_at "YYYY-MM-DD hh:mm:ss": sets program_environment to a French
# desktop whose clock starts at that local time when the program starts and runs on
# from there. libfaketime moves the wall clock only: the monotonic clock that the
# timers count with is left as it is.
french_setting_at() {
    faked_clock_at "$1" || fail "libfaketime is missing (faketime)"
    program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
}

# desktop_setting_at LANG "YYYY-MM-DD hh:mm:ss": the same on a desktop whose locale
# is LANG alone (en_US.UTF-8, say): every other locale variable is removed.
desktop_setting_at() {
    faked_clock_at "$2" || fail "libfaketime is missing (faketime)"
    program_environment=(-u LC_ALL -u LC_TIME -u LC_MESSAGES -u LC_NUMERIC -u LANGUAGE "LANG=$1"
                         "${clock_environment[@]}")
}

# openbox announces itself on the root window before it has finished starting, and a
# window mapped in between may never be managed, and so never shown. It has finished
# once it answers a request from its main loop: a change of the number of desktops.
window_manager_publishes_desktops() {
    xdotool get_num_desktops >/dev/null 2>&1
}

# launch_program EXECUTABLE: runs an executable (a copy made by copy_program_folder)
# from $work with program_environment added, its standard output in program.log and
# its standard error in program-errors.log, and returns at once. Sets program_pid and
# program_folder.
launch_program() {
    local executable=$1
    program_folder=$(dirname "$executable")
    (cd "$work" && exec env "${program_environment[@]}" "$executable") \
        >"$work/program.log" 2>"$work/program-errors.log" &
    program_pid=$!
    remember_pid "$program_pid"
}

window_size() { # window_size WINDOW: "WIDTH HEIGHT"
    xwininfo -id "$1" | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w, h }'
}

# Waits until the program launched last shows its main window, drawn; sets window,
# origin_x and origin_y. A message box (also titled Solvane) in its place fails the
# test, with what the program wrote on standard error.
wait_for_main_window() {
    window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
    if [ -z "$window" ]; then
        process_running "$program_pid" || fail "the program ended before showing its window"
        fail "no visible window named Solvane after 15 s"
    fi
    [ "$(window_size "$window")" = "$kWindowWidth $kWindowHeight" ] ||
        fail "the window named Solvane is $(window_size "$window"), not the main window: an error box?"
    read_origin
    local x y
    read -r x y <<<"$kBackgroundPoint"
    wait_until 10 "the window to draw its grey background" window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
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
    python3 "$kScreenReading" "$command" "$work/screen.ppm" "$origin_x" "$origin_y" "$@" >"$work/reading.log" 2>&1
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

# The main window is the one window named Solvane on the screen: no error box beside
# it or in its place.
main_window_alone() {
    [ "$(xdotool search --onlyvisible --name '^Solvane$' 2>/dev/null)" = "$window" ]
}

readonly kClockBox='48 64 273 17'  # Label31, the clock line

# The time of day that the clock line shows, in seconds since midnight.
clock_seconds() {
    read_window read "$kClockBox" || return 1
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

click_box_times() { # click_box_times COUNT "LEFT TOP WIDTH HEIGHT": left clicks at the box's centre
    local left top width height
    read -r left top width height <<<"$2"
    pointer_at "$((left + width / 2))" "$((top + height / 2))"
    xdotool click --repeat "$1" --delay 100 1
}

# click_calendar_day SELECTED DAY: clicks the cell of DAY in the month the calendar
# shows, found from the cell of the SELECTED day; sets clicked_cell to "X Y", the
# window point clicked.
clicked_cell=''
click_calendar_day() {
    read_window day-cell "$1" "$2" || fail "no cell for day $2 in the calendar: $(cat "$work/reading.log")"
    clicked_cell=$(cat "$work/reading.log")
    local x y
    read -r x y <<<"$clicked_cell"
    pointer_at "$x" "$y"
    xdotool click 1
}

# The window point of the selected day's cell.
selected_calendar_cell() {
    read_window selected-cell || fail "no selected day in the calendar: $(cat "$work/reading.log")"
    cat "$work/reading.log"
}
