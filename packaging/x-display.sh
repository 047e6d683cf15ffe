# shellcheck shell=bash disable=SC2034  # constants and variables for the scripts that source it
# Shared by the check and screenshot scripts of this folder and by
# tools/check-clean-debian, which source it: the gadget started on a private X
# server, its window found, grabbed and closed. The session itself (the private
# folder, Xvfb, the waits, the failures, the end of everything started, however the
# script ends) is tools/lib/x_session.sh's. Needs Xvfb, xdotool, xwininfo, xprop and
# ImageMagick (tools/install-packages test).


# shellcheck source=../tools/lib/faked_clock.sh
. "$(dirname "${BASH_SOURCE[0]}")/../tools/lib/faked_clock.sh"
# shellcheck source=../tools/lib/x_session.sh
. "$(dirname "${BASH_SOURCE[0]}")/../tools/lib/x_session.sh"

readonly kWindowTitle='Solvane'

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
start_program() {
    "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
    remember_pid "$program_pid"
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
    wait_until 20 "une fenêtre « $kWindowTitle » s'ouvre après gtk-launch $1" find_any_window
    program_pid=$(xprop -id "$window" _NET_WM_PID | awk '{ print $NF }')
    [[ "$program_pid" =~ ^[0-9]+$ ]] || fail "la fenêtre ne dit pas son processus"
    remember_pid "$program_pid"
}

# Waits for the program's window to be on the screen; `window` is its id.
wait_for_window() {
    poll_until 20 find_window || {
        process_running "$program_pid" || fail "le programme s'est arrêté avant d'ouvrir sa fenêtre"
        fail "aucune fenêtre « $kWindowTitle » après 20 s"
    }
}

# grab FILE [BOX]: the screen inside the window (or inside BOX, "LEFT TOP WIDTH
# HEIGHT" in window pixels), as the user sees it.
grab() {
    local x y width height left top
    read -r x y width height < <(window_geometry "$window")
    read -r left top width height <<<"${2:-0 0 $width $height}"
    import -silent -window root -crop "${width}x${height}+$(( x + left ))+$(( y + top ))" +repage "$1"
}

# Clicks at a point of the window, in window pixels.
click_window_at() {
    local x y w h
    read -r x y w h < <(window_geometry "$window")
    # The X server takes the motion and the click in order. (No --sync: it would
    # wait for a motion that never comes when the pointer is there already.)
    xdotool mousemove $(( x + $1 )) $(( y + $2 )) click 1
}

# Quits the gadget with its own quit button and expects it to end.
press_quit_button() {
    local x y
    read -r x y <<<"$(box_centre "${kBoxes[cmdQuit]}")"
    click_window_at "$x" "$y"
    wait_until 10 "le programme s'arrête après un clic sur son bouton Quitter" program_ended
}

# The same for a program started here, which must end with status 0. (The status of
# a program started by gtk-launch is not ours to see.)
quit_with_button() {
    press_quit_button
    [ "$program_status" = 0 ] || fail "le programme s'est arrêté avec l'état $program_status"
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
    wait_until 20 "la fenêtre se fixe" window_settled
    cp "$work/settled-now.png" "$1"
}

# The number of the moon picture among the files FOLDER/0.gif .. 29.gif that the
# window's moon box shows, pixel for pixel; empty when it shows none of them.
shown_moon_picture() {
    local folder=$1 n
    grab "$work/moon.png" "${kBoxes[Image1]}"
    for n in $(seq 0 29); do
        if [ "$(compare -metric AE "$work/moon.png" "$folder/$n.gif" null: 2>&1)" = 0 ]; then
            echo "$n"
            return
        fi
    done
}
