# shellcheck shell=bash disable=SC2034  # the constants and variables are for the scripts that source this file
# A private X session for the scripts that show the gadget on a screen of their own:
# the window tests (tests/window/harness.sh), the packaging checks
# (packaging/x-display.sh) and bench/measure-process source this file. It gives them
# a private folder that is also HOME, an X server (Xvfb) on a free display, openbox
# when they want a window manager, waits with a deadline, a failure that shows the
# logs, and the end of every process started here however the script ends; and the
# boxes of the window's controls, read from the table that the build writes. Its
# messages are French, like the program's.
#
# Every wait here is for a condition, with a deadline; the short pause inside
# poll_until is only the interval between two looks.

readonly kScriptName=${0##*/}
# The size of the screen of start_xvfb; a script may choose another before it.
screen_width=1024
screen_height=768
screen_depth=24  # bits per pixel

work=''            # the private folder: logs, screen grabs, HOME
session_pids=()    # every process started here and not yet ended, in the order of their start
declare -A session_starts=()  # the start of each of them and of the watchdog, by number
watchdog_pid=''
xvfb_pid=''
wm_pid=''

say() { printf '%s: %s\n' "$kScriptName" "$*"; }

# fail MESSAGE: says what went wrong, then the end of each log of the private
# folder, and ends the script with status 1.
fail() {
    printf '%s: ÉCHEC : %s\n' "$kScriptName" "$*" >&2
    local log
    for log in "${work:-/nonexistent}"/*.log; do
        [ -s "$log" ] || continue
        printf -- '--- %s ---\n' "${log##*/}" >&2
        tail -n 20 "$log" >&2
    done
    exit 1
}

require_commands() { # require_commands COMMAND...
    local missing='' command
    for command in "$@"; do
        command -v "$command" >/dev/null 2>&1 || missing="$missing $command"
    done
    [ -z "$missing" ] || fail "commandes absentes :$missing (lancez tools/install-packages test)"
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

# wait_until SECONDS WHAT COMMAND...: the same, but fails the script at the deadline;
# WHAT says what was awaited ("la fenêtre dessine son fond gris").
wait_until() {
    local seconds=$1 what=$2
    shift 2
    poll_until "$seconds" "$@" || fail "attendu ${seconds} s en vain : ${what}"
}

# --- Processes ------------------------------------------------------------------

# True while PID is a live process (a child that has ended but is not yet reaped
# is a zombie and counts as ended).
process_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

process_ended() { ! process_running "$1"; }

# process_start PID: when the process started, in clock ticks since boot (the 22nd
# field of /proc/PID/stat), or status 1 when there is no such process. The system
# gives a number again once its process has ended and been reaped, within minutes on
# a busy machine (pid_max is 32768 by default): the number and the start together
# name one process.
process_start() {
    local stat fields
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    read -ra fields <<<"$stat"
    printf '%s\n' "${fields[19]}"
}

# still_ours PID: PID is still the process that was remembered under that number,
# and not another that was given the number after it ended unseen.
still_ours() {
    local start
    start=$(process_start "$1") && [ "$start" = "${session_starts[$1]-}" ]
}

write_pid_list() {
    local pid
    for pid in "${session_pids[@]}"; do echo "$pid ${session_starts[$pid]-}"; done >"$work/pids"
}

# remember_pid PID: a process to end with the session (it need not be a child).
# Its start is noted with it, so that a number given to another process after this
# one ended unseen is never killed.
remember_pid() {
    session_pids+=("$1")
    session_starts[$1]=$(process_start "$1" || true)
    write_pid_list
}

# forget_pid PID: a process that has ended, and may not be killed any more: its
# number may be given to another.
forget_pid() {
    local still_running=() other
    for other in "${session_pids[@]}"; do
        [ "$other" = "$1" ] || still_running+=("$other")
    done
    session_pids=("${still_running[@]}")
    unset "session_starts[$1]"
    [ -z "$work" ] || write_pid_list
}

# stop_process PID: asks the process remembered under PID to end, kills it if it has
# not within 3 s, and forgets it. A process that is not the one remembered (it ended,
# and its number went to another) is left alone.
stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    if still_ours "$pid" && kill "$pid" 2>/dev/null; then
        poll_until 3 process_ended "$pid" || ! still_ours "$pid" || kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
    forget_pid "$pid"
}

# context_switches PID: the times the process's threads have left a core, voluntary
# and not, all threads counted (/proc/PID/task/*/status): its wake-ups, and more.
context_switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { sum += $2 } END { print sum }'
}

# pool_threads_ended PID: Qt's pooled threads, which help at start-up, have ended:
# each ends 30 s after its last task, and its end is a wake-up too.
pool_threads_ended() {
    ! grep -qx 'Thread (pooled)' /proc/"$1"/task/*/comm 2>/dev/null
}

# The program that the script started last, and how it ended.
program_pid=''
program_status=''

# True once the program started last has ended; sets program_status (127 for a
# process that is not a child of this script, whose status is not ours to see).
program_ended() {
    process_running "$program_pid" && return 1
    program_status=0
    wait "$program_pid" 2>/dev/null || program_status=$?
    forget_pid "$program_pid"
    program_pid=''
}

# Ends every process started here, the last started first (the program before its
# display), then removes the private folder.
x_session_end() {
    trap - EXIT INT TERM HUP
    local i
    for (( i = ${#session_pids[@]} - 1; i >= 0; i-- )); do
        stop_process "${session_pids[i]}"
    done
    stop_process "$watchdog_pid"
    [ -z "$work" ] || rm -rf "$work"
    work=''
}

# Should the script be killed outright, so that no trap runs, a watchdog still
# ends every process it started: it waits for the script's end, then kills the
# processes listed in $work/pids that are still the ones listed.
start_watchdog() {
    local parent=$$
    (
        tail --pid="$parent" -f /dev/null
        [ -f "$work/pids" ] || exit 0
        while read -r pid start; do
            [ "$(process_start "$pid")" != "$start" ] || kill -KILL "$pid" || true
        done <"$work/pids"
        rm -rf "$work"
    ) >/dev/null 2>&1 &
    watchdog_pid=$!
    session_starts[$watchdog_pid]=$(process_start "$watchdog_pid" || true)
}

# Starts the session: a private folder for logs and screen grabs, also the HOME and
# runtime folder of the programs started here, so that nothing lands in the user's
# own; nothing of the caller's desktop (no Wayland, no session type, no platform
# chosen); and the end of everything started here, however the script ends. A
# script with more to clean up sets its own EXIT trap, which calls x_session_end.
x_session_begin() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-$kScriptName.XXXXXX")
    trap x_session_end EXIT
    trap 'exit 130' INT TERM HUP
    start_watchdog
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
    unset XAUTHORITY WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM
}

# --- The X server and the window manager ------------------------------------------

display_number_written() { grep -qx '[0-9][0-9]*' "$work/display" 2>/dev/null; }

# An X server of our own on a free display number, its screen screen_width x
# screen_height x screen_depth; sets DISPLAY.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x${screen_depth}" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    remember_pid "$xvfb_pid"
    wait_until 10 "Xvfb donne son numéro d'affichage" display_number_written
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
}

window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# openbox announces itself on the root window before it has finished starting, and a
# window mapped in between may never be managed, and so never shown. It has finished
# once it answers a request from its main loop: a change of the number of desktops.
window_manager_publishes_desktops() {
    xdotool get_num_desktops >/dev/null 2>&1
}

number_of_desktops_is() {
    [ "$(xdotool get_num_desktops 2>/dev/null)" = "$1" ]
}

# openbox handles its requests in the order they come: once it has carried out a
# request sent now, it has carried out every request sent before.
wait_for_window_manager() {
    [ -n "$wm_pid" ] || return 0
    local desktops
    desktops=$(( $(xdotool get_num_desktops) + 1 ))
    xdotool set_num_desktops "$desktops"
    wait_until 5 "openbox traite une demande" number_of_desktops_is "$desktops"
}

# openbox with a minimal configuration: new windows centred on the empty screen and
# focused, no edge resistance (it would bend a drag near the screen's edges), one
# desktop, and no mouse or key bindings (the empty sections replace openbox's
# defaults, which would raise a window on any click and so hide whether the window
# keeps itself above). Returns once openbox manages the screen.
start_openbox() {
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
    wait_until 10 "openbox gère l'écran" window_manager_running
    wait_until 10 "openbox publie ses bureaux" window_manager_publishes_desktops
    wait_for_window_manager
}

# window_geometry WINDOW: "X Y WIDTH HEIGHT", the window's box on the screen.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# --- The window's boxes -----------------------------------------------------------
# kBoxes[NAME] is "LEFT TOP WIDTH HEIGHT" in window pixels, from the table that the
# build writes from the window itself (window_boxes.txt of the build folder, see
# tools/write_window_boxes.cpp), which tests/window/screen_reading.py reads too.
# SOLVANE_WINDOW_BOXES names it (ctest sets it for the window's tests); a script
# that builds, or is given a build, reads it with read_window_boxes once it is built.

declare -A kBoxes=()
kWindowWidth=''
kWindowHeight=''

# read_window_boxes FILE: kBoxes, kWindowWidth and kWindowHeight from FILE.
read_window_boxes() {
    local table=$1 number=0 name left top width height rest
    [ -f "$table" ] || fail "$table manque : les boîtes de la fenêtre s'écrivent à la construction (cmake --build)"
    kBoxes=()
    while read -r name left top width height rest; do
        number=$((number + 1))
        case $name in '' | '#'*) continue ;; esac
        [[ "$left $top $width $height" =~ ^[0-9]+\ [0-9]+\ [0-9]+\ [0-9]+$ && ( -z "$rest" || "$rest" == '#'* ) ]] ||
            fail "$table, ligne $number : ni « NOM GAUCHE HAUT LARGEUR HAUTEUR » ni un commentaire"
        kBoxes[$name]="$left $top $width $height"
    done <"$table"
    [ -n "${kBoxes[Form1]:-}" ] || fail "$table ne donne pas la boîte de la fenêtre (Form1)"
    read -r _ _ kWindowWidth kWindowHeight <<<"${kBoxes[Form1]}"
}

# read_build_window_boxes BUILD_FOLDER: the table of that build, unless
# SOLVANE_WINDOW_BOXES names another.
read_build_window_boxes() {
    read_window_boxes "${SOLVANE_WINDOW_BOXES:-$1/window_boxes.txt}"
}

[ -z "${SOLVANE_WINDOW_BOXES:-}" ] || read_window_boxes "$SOLVANE_WINDOW_BOXES"

box_centre() { # box_centre "LEFT TOP WIDTH HEIGHT": "X Y"
    local left top width height
    read -r left top width height <<<"$1"
    echo "$((left + width / 2)) $((top + height / 2))"
}
