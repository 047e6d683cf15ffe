# shellcheck shell=bash disable=SC2034  # constants and variables for the scripts that source it
# Shared by the check and screenshot scripts of this folder, which source it: a
# private X server, the gadget started on it, its window found, and everything
# they started ended however they end. Needs Xvfb, xdotool, xwininfo, xprop and
# ImageMagick (tools/install-packages test).

set -euo pipefail

# shellcheck source=../tests/faked_clock.sh
. "$(dirname "${BASH_SOURCE[0]}")/../tests/faked_clock.sh"

readonly kWindowTitle='Solvane'
readonly kWindowWidth=609
readonly kWindowHeight=447
readonly kQuitButtonCentre='560 32'  # cmdQuit, 17 x 17 at (552, 24)
readonly kMoonBox='30x30+287+320'      # Image1

work=''
started_pids=()

fail() {
    printf '%s: ÉCHEC : %s\n' "${0##*/}" "$*" >&2
    local log
    for log in "${work:-/nonexistent}"/*.log; do
        [ -s "$log" ] || continue
        printf -- '--- %s ---\n' "${log##*/}" >&2
        tail -n 15 "$log" >&2
    done
    exit 1
}

say() { printf '%s: %s\n' "${0##*/}" "$*"; }

require_commands() {
    local missing='' command
    for command in "$@"; do
        command -v "$command" >/dev/null 2>&1 || missing="$missing $command"
    done
    [ -z "$missing" ] || fail "commandes absentes :$missing (lancez tools/install-packages test)"
}

now_ms() { date +%s%3N; }

# poll SECONDS COMMAND...: runs COMMAND until it succeeds or SECONDS have passed.
poll() {
    local deadline=$(( $(now_ms) + $1 * 1000 ))
    shift
    until "$@"; do
        (( $(now_ms) < deadline )) || return 1
        sleep 0.05
    done
}

running() { kill -0 "$1" 2>/dev/null; }

stop_pid() {
    local pid=$1
    running "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
    kill "$pid" 2>/dev/null || true
    poll 3 eval "! running $pid" || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# The processes go in the reverse order of their start: the program before its
# display. Then the private folder.
x_display_cleanup() {
    local i
    for (( i = ${#started_pids[@]} - 1; i >= 0; i-- )); do
        stop_pid "${started_pids[i]}"
    done
    started_pids=()
    [ -z "$work" ] || rm -rf "$work"
}

# A private folder for logs and screen grabs, also the HOME and runtime folder of
# the programs started here, so that nothing lands in the user's own.
make_work_folder() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-${0##*/}.XXXXXX")
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
}

display_number_written() { grep -qx '[0-9][0-9]*' "$work/display" 2>/dev/null; }

# An X server of our own on a free display number, and nothing of the caller's
# desktop: no Wayland, no session type, no platform chosen.
start_display() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    started_pids+=("$!")
    poll 10 display_number_written || fail "Xvfb n'a pas démarré"
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM XAUTHORITY
}

# A display that no X server answers on this machine: the first number from 90 that
# has neither a lock file nor a socket, in /tmp or abstract.
unanswered_display() {
    local number=90
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] ||
        grep -q "@/tmp/.X11-unix/X$number\$" /proc/net/unix; do
        number=$(( number + 1 ))
    done
    printf ':%s\n' "$number"
}

# start_program COMMAND...: starts the gadget in the background, its output in
# program.log; program_pid is its process.
program_pid=''
start_program() {
    "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
    started_pids+=("$program_pid")
}

window=''
find_window() {
    window=$(xdotool search --onlyvisible --pid "$program_pid" --name "^${kWindowTitle}\$" 2>/dev/null | head -n 1)
    [ -n "$window" ]
}

find_any_window() {
    window=$(xdotool search --onlyvisible --name "^${kWindowTitle}\$" 2>/dev/null | head -n 1)
    [ -n "$window" ]
}

# launch_from_menu ENTRY: starts the gadget as a desktop's menu does, from the menu
# entry ENTRY.desktop looked up in XDG_DATA_DIRS; the program's process is not a
# child of this script. Waits for the window; program_pid is its process.
launch_from_menu() {
    gtk-launch "$1" >"$work/launch.log" 2>&1 || fail "gtk-launch $1 a échoué"
    poll 20 find_any_window || fail "aucune fenêtre « $kWindowTitle » après gtk-launch $1"
    program_pid=$(xprop -id "$window" _NET_WM_PID | awk '{ print $NF }')
    [[ "$program_pid" =~ ^[0-9]+$ ]] || fail "la fenêtre ne dit pas son processus"
    started_pids+=("$program_pid")
}

# Waits for the program's window to be on the screen; `window` is its id.
wait_for_window() {
    poll 20 find_window || {
        running "$program_pid" || fail "le programme s'est arrêté avant d'ouvrir sa fenêtre"
        fail "aucune fenêtre « $kWindowTitle » après 20 s"
    }
}

# window_box: "X Y WIDTH HEIGHT" of the window on the screen.
window_box() {
    xwininfo -id "$window" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# grab FILE [GEOMETRY]: the screen inside the window's box (or GEOMETRY, relative to
# the window's corner), as the user sees it.
grab() {
    local x y w h
    read -r x y w h < <(window_box)
    local geometry=${2:-${w}x${h}+0+0}
    local size=${geometry%%+*} offset=${geometry#*+}
    local dx=${offset%%+*} dy=${offset#*+}
    import -silent -window root -crop "${size}+$(( x + dx ))+$(( y + dy ))" +repage "$1"
}

# Clicks at a point of the window, in window pixels.
click_window_at() {
    local x y w h
    read -r x y w h < <(window_box)
    # The X server takes the motion and the click in order. (No --sync: it would
    # wait for a motion that never comes when the pointer is there already.)
    xdotool mousemove $(( x + $1 )) $(( y + $2 )) click 1
}

program_status=''
program_ended() {
    running "$program_pid" && return 1
    program_status=0
    wait "$program_pid" 2>/dev/null || program_status=$?
    return 0
}

# Quits the gadget with its own quit button and expects it to end.
press_quit_button() {
    # shellcheck disable=SC2086  # two numbers
    click_window_at $kQuitButtonCentre
    poll 10 program_ended || fail "le programme ne s'est pas arrêté après un clic sur son bouton Quitter"
}

# The same for a program started here, which must end with status 0. (The status of
# a program started by gtk-launch is not ours to see.)
quit_with_button() {
    press_quit_button
    [ "$program_status" = 0 ] || fail "le programme s'est arrêté avec le statut $program_status"
}

settled_folder=''
window_settled() {
    grab "$work/settled-now.png"
    local same
    same=$(compare -metric AE "$work/settled-before.png" "$work/settled-now.png" null: 2>&1 || true)
    cp "$work/settled-now.png" "$work/settled-before.png"
    [ "$same" = 0 ] && [ -n "$(shown_moon_picture "$settled_folder")" ]
}

# wait_for_settled_window FILE FOLDER: waits for the panels to be filled, the moon
# box showing one of the pictures of FOLDER, and for the window to stop changing (a
# clock standing still keeps it as it is then); FILE is then its picture.
wait_for_settled_window() {
    settled_folder=$2
    grab "$work/settled-before.png"
    poll 20 window_settled || fail "la fenêtre ne se fixe pas"
    cp "$work/settled-now.png" "$1"
}

# The number of the moon picture among the files FOLDER/0.gif .. 29.gif that the
# window's moon box shows, pixel for pixel; empty when it shows none of them.
shown_moon_picture() {
    local folder=$1 n
    grab "$work/moon.png" "$kMoonBox"
    for n in $(seq 0 29); do
        if [ "$(compare -metric AE "$work/moon.png" "$folder/$n.gif" null: 2>&1)" = 0 ]; then
            echo "$n"
            return
        fi
    done
}
