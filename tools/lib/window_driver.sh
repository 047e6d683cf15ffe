# shellcheck shell=bash disable=SC2034  # the constants and variables are for the scripts that source this file
# The window driver of every script that shows the gadget on a screen of its own (the window
# tests, the packaging checks, the benchmarks, tools/check-clean-debian): a private session
# that ends every process started in it, an X server with openbox if asked, the program launched
# and awaited, clicks, keys, grabs, texts read by OCR (window_reading.py); waits have deadlines.

readonly kScriptName=${0##*/}
kDriverFolder=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd) && readonly kDriverFolder
# shellcheck source=faked_clock.sh
. "$kDriverFolder/faked_clock.sh"

screen_width=1024 screen_height=768 screen_depth=24  # of start_display's screen, if no other is chosen
readonly kWindowTitle=Solvane
readonly kBackgroundGrey='176 176 176'  # the window's flat background
readonly kBackgroundPoint='340 200'      # a point of it between the two panels, under no control
# Slower builds (sanitizers) set SOLVANE_TEST_SLOWDOWN to a whole factor: more time to start.
readonly kSlowdown=${SOLVANE_TEST_SLOWDOWN:-1}

work=''                      # the private folder: logs, screen grabs, HOME
session_pids=()              # every process started here and not yet ended, in the order of their start
declare -A session_starts=() # the start of each of them and of the watchdog, by number
watchdog_pid='' xvfb_pid='' wm_pid=''
say() { printf '%s: %s\n' "$kScriptName" "$*"; }

# fail MESSAGE: says it, with the end of each log of the private folder; status 1.
fail() {
    printf '%s: ÉCHEC : %s\n' "$kScriptName" "$*" >&2
    local log
    for log in "${work:-/nonexistent}"/*.log; do [ ! -s "$log" ] || printf -- '--- %s ---\n%s\n' "${log##*/}" "$(tail -n 20 "$log")" >&2; done
    exit 1
}

require_commands() { # require_commands COMMAND...
    local missing='' command
    for command in "$@"; do command -v "$command" >/dev/null 2>&1 || missing="$missing $command"; done
    [ -z "$missing" ] || fail "commandes absentes :$missing (lancez tools/install-packages test)"
}

now_us() { echo "${EPOCHREALTIME//[.,]/}"; }

# pause SECONDS: waits without starting a process, on a pipe of the session that nobody
# writes into (sleep outside a session); the scripts' looks at the screen are frequent.
pause_fd=''
pause() { if [ -n "$pause_fd" ]; then read -rt "$1" -u "$pause_fd" || true; else sleep "$1"; fi; }

# poll_until SECONDS COMMAND...: runs COMMAND until it succeeds, or SECONDS have passed
# (status 1); the pause is only the interval between two looks.
poll_until() {
    local deadline=$((${EPOCHREALTIME//[.,]/} + $1 * 1000000))
    until "${@:2}"; do ((${EPOCHREALTIME//[.,]/} <= deadline)) || return 1; pause 0.05; done
}

# wait_until SECONDS WHAT COMMAND...: the same, but fails the script at the deadline.
wait_until() { poll_until "$1" "${@:3}" || fail "attendu $1 s en vain : $2"; }

# --- Processes: the system gives a number again within minutes on a busy machine, so a process is
# remembered by its number and start together, and a number given to another is never killed.

# stat_field PID N: the Nth field of /proc/PID/stat after the command name (which may
# hold blanks), counted from 1 at the state; status 1 without such a process.
stat_field() {
    local stat fields
    { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
    read -ra fields <<<"${stat##*) }"
    echo "${fields[$2 - 1]}"
}
process_running() { local state; state=$(stat_field "$1" 1) && [ "$state" != Z ]; }  # a zombie has ended
process_ended() { ! process_running "$1"; }
process_start() { stat_field "$1" 20; }  # in clock ticks since boot
# processor_ms PID: the processor time of a process, its own and the kernel's for it,
# which a loaded machine does not make grow.
processor_ms() { echo $((($(stat_field "$1" 12) + $(stat_field "$1" 13)) * 1000 / $(getconf CLK_TCK))); }
# context_switches PID: the times the process's threads have left a core: its wake-ups, and more.
context_switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^(non)?voluntary_ctxt_switches:/ { n += $2 } END { print n }'; }

# Qt's pooled threads, which help at start-up, have ended (30 s after their last task).
pool_threads_ended() { ! grep -qx 'Thread (pooled)' /proc/"$1"/task/*/comm 2>/dev/null; }
still_ours() { local start; start=$(process_start "$1") && [ "$start" = "${session_starts[$1]-}" ]; }

write_pid_list() {
    local pid
    [ -z "$work" ] || for pid in "${session_pids[@]}"; do echo "$pid ${session_starts[$pid]-}"; done >"$work/pids"
}
# remember_pid PID: a process to end with the session (it need not be a child).
remember_pid() { session_pids+=("$1"); session_starts[$1]=$(process_start "$1" || true); write_pid_list; }
# forget_pid PID: a process that has ended, whose number may be given to another.
forget_pid() {
    local others=() other
    for other in "${session_pids[@]}"; do [ "$other" = "$1" ] || others+=("$other"); done
    session_pids=("${others[@]}")
    unset "session_starts[$1]"
    write_pid_list
}
# stop_process PID: asks the process remembered under PID to end, kills it if it has
# not within 3 s, and forgets it; another process under that number is left alone.
stop_process() {
    [ -n "$1" ] || return 0
    if still_ours "$1" && kill "$1" 2>/dev/null; then
        poll_until 3 process_ended "$1" || ! still_ours "$1" || kill -KILL "$1" 2>/dev/null || true
    fi
    wait "$1" 2>/dev/null || true
    forget_pid "$1"
}

# Ends every process started here, the last started first (a program before its display).
session_end() {
    trap - EXIT INT TERM HUP
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do stop_process "${session_pids[i]}"; done
    stop_process "$watchdog_pid"
    [ -z "$work" ] || rm -rf "$work"
    work=''
}

# Starts the session: a private folder, also the HOME and runtime folder of what is
# started here, nothing of the caller's desktop, and the end of everything started here
# however the script ends; killed outright, without traps, its watchdog kills those of
# $work/pids still listed. A script with more to clean up has its own EXIT trap call session_end.
session_begin() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-$kScriptName.XXXXXX")
    trap session_end EXIT
    trap 'exit 130' INT TERM HUP
    local parent=$$
    (
        tail --pid="$parent" -f /dev/null
        [ -f "$work/pids" ] || exit 0
        while read -r pid start; do [ "$(process_start "$pid")" != "$start" ] || kill -KILL "$pid" || true; done <"$work/pids"
        rm -rf "$work"
    ) >/dev/null 2>&1 &
    watchdog_pid=$!
    session_starts[$watchdog_pid]=$(process_start "$watchdog_pid" || true)
    mkdir -p "$work/home" && mkdir -m 700 "$work/runtime"
    mkfifo "$work/pause" && exec {pause_fd}<>"$work/pause"
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
    unset XAUTHORITY WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM
}

number_of_desktops_is() { [ "$(xdotool get_num_desktops 2>/dev/null)" = "$1" ]; }
# openbox handles requests in order: once it has carried out one sent now (a change of
# the number of desktops), it has carried out every one before.
wait_for_window_manager() {
    [ -n "$wm_pid" ] || return 0
    local desktops=$(($(xdotool get_num_desktops) + 1))
    xdotool set_num_desktops "$desktops"
    wait_until 5 "openbox traite une demande" number_of_desktops_is "$desktops"
}

# start_display [--openbox] [COLOUR]: an X server of our own on a free display (sets
# DISPLAY), its screen screen_width x screen_height x screen_depth, managed by openbox
# with --openbox, then painted COLOUR ("#rrggbb") if given.
# openbox has new windows centred and focused, no edge resistance (it would bend a
# drag near the edges), one desktop, no mouse or key bindings (its own raise a window
# on any click, hiding whether the window keeps itself above). A window mapped before
# it has started may never be shown: it has once it answers a request from its loop.
start_display() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x${screen_depth}" -nolisten tcp -noreset \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$! wm_pid=''
    remember_pid "$xvfb_pid"
    wait_until 10 "Xvfb donne son numéro d'affichage" grep -qx '[0-9][0-9]*' "$work/display"
    DISPLAY=":$(<"$work/display")" && export DISPLAY
    if [ "${1:-}" = --openbox ]; then
        shift
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
        wm_pid=$! && remember_pid "$wm_pid"
        wait_until 10 "openbox publie ses bureaux" eval 'xdotool get_num_desktops >/dev/null 2>&1'
        wait_for_window_manager
    fi
    [ -z "${1:-}" ] || xsetroot -solid "$1"
}

# A display that no X server answers: the first from :90 without a lock file or a socket.
unanswered_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix; do ((++n)); done
    echo ":$n"
}

# kBoxes[NAME] is "LEFT TOP WIDTH HEIGHT" in window pixels, from the table that the build
# writes from the window itself (window_boxes.txt, see tools/write_window_boxes.cpp).
# read_window_boxes BUILD_FOLDER: the table of that build, unless SOLVANE_WINDOW_BOXES names
# another (ctest sets it, and it is read here); the build's screen_grab stands beside it.
declare -A kBoxes=()
kWindowWidth='' kWindowHeight='' kScreenGrab=''
read_window_boxes() {
    local table=${SOLVANE_WINDOW_BOXES:-$1/window_boxes.txt} grabber name left top width height
    grabber=${table%/*}/screen_grab  # used if it runs here: a build of another system (tools/check-clean-debian's) may not
    "$grabber" >/dev/null 2>&1 || [ $? != 2 ] || kScreenGrab=$grabber  # status 2: its usage
    [ -f "$table" ] || fail "$table manque : les boîtes de la fenêtre s'écrivent à la construction (cmake --build)"
    while read -r name left top width height _; do
        [[ $name == '#'* ]] || kBoxes[$name]="$left $top $width $height"
    done <"$table"
    [ -n "${kBoxes[Form1]:-}" ] || fail "$table ne donne pas la boîte de la fenêtre (Form1)"
    read -r _ _ kWindowWidth kWindowHeight <<<"${kBoxes[Form1]}"
}
[ -z "${SOLVANE_WINDOW_BOXES:-}" ] || read_window_boxes "${SOLVANE_WINDOW_BOXES%/*}"

box() { echo "${kBoxes[$1]:?pas de boîte $1}"; }  # box NAME: its "LEFT TOP WIDTH HEIGHT"
box_centre() { # box_centre BOX: "X Y", its centre
    local left top width height
    read -r left top width height <<<"$(box "$1")"
    echo "$((left + width / 2)) $((top + height / 2))"
}

program_environment=()  # added to the environment of the programs started here
program_pid='' program_status='' program_folder='' launched_at=0
window='' origin_x=0 origin_y=0 start_took_us=0 start_took_cpu_ms=0

# copy_program PROGRAM: copies the files of the program's folder (the program and the
# data files beside it) into a fresh folder of $work, and prints the copy's path.
copy_program() {
    local to && to=$(mktemp -d "$work/program.XXXXXX")
    find "$(dirname "$1")" -maxdepth 1 -type f -exec cp -p -t "$to" {} +
    echo "$to/${1##*/}"
}

# start_program [--copy] [--wait] [--as USER] [--in FOLDER] PROGRAM [ARGUMENT...]: starts PROGRAM
# from FOLDER ($work by default), program_environment added, its output in program.log and
# program-errors.log; sets program_pid, program_folder, launched_at. --copy runs a copy of its
# folder, --as runs it as USER in USER's group, --wait returns once its window is drawn.
start_program() {
    local copy=false wait=false as=() in=$work
    while [[ $1 == --* ]]; do
        case $1 in
            --copy) copy=true ;;
            --wait) wait=true ;;
            --as) as=(setpriv --reuid="$2" --regid="$(id -g "$2")" --clear-groups --); shift ;;
            --in) in=$2; shift ;;
        esac
        shift
    done
    local executable=$1
    if $copy; then executable=$(copy_program "$1"); elif [[ $1 == */* ]]; then executable=$(realpath "$1"); fi
    shift
    program_folder=$(dirname "$executable")
    launched_at=$(now_us)
    (cd "$in" && exec "${as[@]}" env "${program_environment[@]}" "$executable" "$@") \
        >"$work/program.log" 2>"$work/program-errors.log" &
    program_pid=$!
    remember_pid "$program_pid"
    ! $wait || wait_for_window
}

# True once the program started last has ended; sets program_status (127 for a
# process that is not a child of this script, whose status is not ours to see).
program_ended() {
    process_running "$program_pid" && return 1
    program_status=0
    wait "$program_pid" 2>/dev/null || program_status=$?
    forget_pid "$program_pid"
    program_pid=''
}

# solvane_windows [PID]: the visible windows titled Solvane (of PID's), and whether there is one.
solvane_windows() { xdotool search --onlyvisible ${1:+--pid "$1"} --name "^$kWindowTitle\$" 2>/dev/null || true; }
solvane_window_shown() { [ -n "$(solvane_windows "$@")" ]; }
window_geometry() { # window_geometry [WINDOW]: "X Y WIDTH HEIGHT" of a window on the screen
    xwininfo -id "${1:-$window}" 2>/dev/null | awk '/Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF } /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}
window_is_at() { [[ $(window_geometry) == "$1 $2 "* ]]; }  # window_is_at X Y
window_gone() { ! xwininfo -id "$1" >/dev/null 2>&1; }
main_window_alone() { [ "$(solvane_windows)" = "$window" ]; }  # no error box beside it or in its place
read_origin() {
    read -r origin_x origin_y _ <<<"$(window_geometry)"
    [ -n "$origin_y" ] || fail "xwininfo ne lit plus la fenêtre $window"
}

# wait_for_window: waits until the program started last shows its main window, of the
# window's size (a message box also titled Solvane fails), drawn; sets window, origin_x,
# origin_y, and start_took_us and start_took_cpu_ms to the time and processor time taken.
wait_for_window() {
    local seconds=$((20 * kSlowdown))
    poll_until "$seconds" solvane_window_shown "$program_pid" || {
        process_running "$program_pid" || fail "le programme s'est arrêté avant de montrer une fenêtre"
        fail "aucune fenêtre visible titrée $kWindowTitle après $seconds s"
    }
    window=$(solvane_windows "$program_pid" | head -n 1)
    read_origin
    [[ $(window_geometry) == *" $kWindowWidth $kWindowHeight" ]] ||
        fail "la fenêtre titrée $kWindowTitle mesure $(window_geometry) : ce n'est pas la fenêtre principale (une boîte d'erreur ?)"
    wait_until $((10 * kSlowdown)) "la fenêtre dessine son fond gris" \
        point_is "$((origin_x + ${kBackgroundPoint% *}))" "$((origin_y + ${kBackgroundPoint#* }))" "$kBackgroundGrey" 12
    start_took_us=$(($(now_us) - launched_at))
    start_took_cpu_ms=$(processor_ms "$program_pid")
}

# start_from_menu ENTRY: starts the gadget as a desktop's menu does, from ENTRY.desktop in
# XDG_DATA_DIRS, and waits for its window; its process, read from the window, is no child of ours.
start_from_menu() {
    gtk-launch "$1" >"$work/launch.log" 2>&1 || fail "gtk-launch $1 a échoué"
    wait_until 20 "une fenêtre « $kWindowTitle » s'ouvre après gtk-launch $1" solvane_window_shown
    program_pid=$(xprop -id "$(solvane_windows | head -n 1)" _NET_WM_PID | awk '{ print $NF }')
    [[ $program_pid =~ ^[0-9]+$ ]] || fail "la fenêtre ne dit pas son processus"
    remember_pid "$program_pid"
    wait_for_window
}

start_other_window() { "$@" >"$work/other.log" 2>&1 & remember_pid "$!"; }  # start_other_window COMMAND...
# Ends the program started last and waits until its window is gone.
stop_program() {
    stop_process "$program_pid"
    program_pid=''
    wait_until 5 "la fenêtre du programme arrêté se ferme" window_gone "$window"
}

# quit_by_button [any]: clicks the window's quit button and waits for the program to
# end, with status 0 (any status for a program that is not our child).
quit_by_button() {
    click cmdQuit
    wait_until $((10 * kSlowdown)) "le programme s'arrête après un clic sur son bouton Quitter" program_ended
    [ "${1:-}" = any ] || [ "$program_status" = 0 ] || fail "le programme s'est arrêté avec l'état $program_status"
}

is_above() { xprop -id "$window" _NET_WM_STATE | grep -qw _NET_WM_STATE_ABOVE; }
is_iconic() { xprop -id "$window" WM_STATE | grep -q 'window state: Iconic' || xprop -id "$window" _NET_WM_STATE | grep -qw _NET_WM_STATE_HIDDEN; }
# The windows that the program shows besides its main window (menus, the calendar's
# month list, a tooltip): their number, and the box of the first (status 1 without one).
popups() { xdotool search --onlyvisible --classname '^solvane$' 2>/dev/null | grep -vx "$window"; }
popups_shown() { popups | grep -c . || true; }
popup_open() { popups >/dev/null; }
popup_box() { local id; id=$(popups) && window_geometry "${id%%$'\n'*}"; }

# pointer_to X Y: moves the mouse there, unless it is there already (--sync would wait for ever).
pointer_to() {
    local x=$((origin_x + $1)) y=$((origin_y + $2))
    [ "$(xdotool getmouselocation --shell | head -n 2 | tr '\n' ' ')" != "X=$x Y=$y " ] || return 0
    xdotool mousemove --sync "$x" "$y"
}

# click WHERE [BUTTON [TIMES]]: clicks (with the left button, once, by default) at the
# window point "X Y", or at the centre of a box of kBoxes.
click() {
    local x y
    if [[ $1 =~ ^-?[0-9]+\ -?[0-9]+$ ]]; then read -r x y <<<"$1"; else read -r x y <<<"$(box_centre "$1")"; fi
    pointer_to "$x" "$y"
    xdotool click --repeat "${3:-1}" --delay 100 "${2:-1}"
}

# The program handles the mouse in order: once a click on ">>" has turned the calendar,
# what was sent before has been handled and has reached the X server, then openbox.
# The click goes where the window is now: after a wrong move the caller's check reports it.
wait_for_program() {
    local before expected_x=$origin_x expected_y=$origin_y
    read_origin
    before=$(box_checksum Cal1)
    click avance
    wait_until 5 'le calendrier change après un clic sur « >> »' box_differs_from Cal1 "$before"
    origin_x=$expected_x origin_y=$expected_y
    wait_for_window_manager
}

# left_drag X Y DX DY [COMMAND...]: presses the left button at window point (X, Y);
# with COMMAND, waits until it holds (the press is handled) and for openbox; moves the
# mouse by (DX, DY) in two steps; checks that the window followed exactly; releases.
left_drag() {
    local x=$1 y=$2 dx=$3 dy=$4
    shift 4
    local from_x=$((origin_x + x)) from_y=$((origin_y + y)) to_x=$((origin_x + dx)) to_y=$((origin_y + dy))
    xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
    if (($# > 0)); then
        poll_until 5 "$@" || { xdotool mouseup 1; fail "un appui gauche au point ($x, $y) de la fenêtre n'a pas mené à : $*"; }
        wait_for_window_manager
    fi
    xdotool mousemove --sync "$((from_x + dx / 2))" "$((from_y + dy / 2))" mousemove --sync "$((from_x + dx))" "$((from_y + dy))"
    poll_until 5 window_is_at "$to_x" "$to_y" ||
        { xdotool mouseup 1; fail "la souris a tiré la fenêtre de ($dx, $dy) depuis $origin_x $origin_y : elle est en $(window_geometry), pas en $to_x $to_y"; }
    xdotool mouseup 1
    origin_x=$to_x origin_y=$to_y
}

# grab FILE [BOX]: the screen, whole or inside a box of the window, 8 bits a channel; FILE may
# name ImageMagick's format ("rgb:-", "ppm:FILE"): the build's screen_grab writes raw RGB and
# PPM in a few milliseconds, ImageMagick's import the others in a tenth of a second.
grab() {
    local screen_box=() crop=() left top width height
    if (($# > 1)); then
        read -r left top width height <<<"$(box "$2")"
        screen_box=($((origin_x + left)) $((origin_y + top)) "$width" "$height")
        crop=(-crop "${width}x${height}+${screen_box[0]}+${screen_box[1]}" +repage)
    fi
    if [[ -n $kScreenGrab && $1 == @(rgb|ppm):* ]]; then
        "$kScreenGrab" "${1%%:*}" "${1#*:}" "${screen_box[@]}"
    else
        import -silent -window root "${crop[@]}" -depth 8 "$1"
    fi
}

box_checksum() { grab rgb:- "$1" | md5sum; }  # box_checksum BOX: the same for the same pixels of that box
box_differs_from() { [ "$(box_checksum "$1")" != "$2" ]; }  # box_differs_from BOX CHECKSUM
# pixel X Y: "R G B" at screen point (X, Y) of the last grab of the whole screen (grab_screen).
grab_screen() { grab "rgb:$work/screen.rgb"; }
pixel() { od -An -tu1 -j "$((($2 * screen_width + $1) * 3))" -N 3 "$work/screen.rgb" | xargs; }
colours_near() { # colours_near "R G B" "R G B" TOLERANCE
    local a b i
    read -ra a <<<"$1"
    read -ra b <<<"$2"
    for i in 0 1 2; do ((a[i] - b[i] <= $3 && b[i] - a[i] <= $3)) || return 1; done
}
# point_is X Y "R G B" TOLERANCE: a new grab shows that colour at screen point (X, Y).
point_is() { grab_screen && colours_near "$(pixel "$1" "$2")" "$3" "$4"; }

# shown_moon_picture FOLDER: the number of the picture among FOLDER/0.gif .. 29.gif
# that the window's moon box shows, pixel for pixel; nothing when it shows none.
shown_moon_picture() {
    local n
    grab "$work/moon.png" Image1
    for n in $(seq 0 29); do
        [ "$(compare -metric AE "$work/moon.png" "$1/$n.gif" null: 2>&1)" != 0 ] || { echo "$n"; return; }
    done
}

# wait_for_settled_window FILE FOLDER: waits until the moon box shows one of the
# pictures of FOLDER and the window stops changing (a clock standing still keeps it as
# it is then); FILE is then its picture.
wait_for_settled_window() {
    grab "$work/settled.png" Form1
    wait_until 20 "la fenêtre se fixe" window_settled "$2"
    cp "$work/settled.png" "$1"
}
window_settled() {
    local same
    grab "$work/now.png" Form1
    same=$(compare -metric AE "$work/settled.png" "$work/now.png" null: 2>&1 || true)
    mv "$work/now.png" "$work/settled.png"
    [ "$same" = 0 ] && [ -n "$(shown_moon_picture "$1")" ]
}

# read_window COMMAND ARGUMENT...: a command of window_reading.py (or of the script that
# reading_script names) on a new grab of the screen, the window at its origin; what it
# found goes to reading.log, which a failure shows. Each check below takes a new grab.
reading_script=$kDriverFolder/window_reading.py
read_window() {
    grab "ppm:$work/screen.ppm"
    /usr/bin/python3 "$reading_script" "$1" "$work/screen.ppm" "$origin_x" "$origin_y" "${@:2}" >"$work/reading.log" 2>&1
}

require_reading_commands() {
    require_commands /usr/bin/python3 tesseract convert
    tesseract --list-langs 2>/dev/null | grep -qx fra || fail "tesseract ne connaît pas le français (tesseract-ocr-fra)"
    export SCREEN_READING_CACHE="$work/readings.json"  # what OCR has read, kept for the same pixels
}
box_reads() { read_window text "$(box "$1")" "$2" "${3:-}"; }  # box_reads BOX TEXT [exact]
box_shows() { read_window pixels "$(box "$1")" "${@:2}"; }  # box_shows BOX PICTURE_FILE|"R G B" [TOLERANCE]
# says "LEFT TOP WIDTH HEIGHT" SENTENCE LIKENESS [WORD...]: a box of the screen (not of
# the window) reads close to SENTENCE, holding every WORD.
says() { origin_x=0 origin_y=0 read_window says "$@"; }
# The time of day that the clock line shows, in seconds since midnight.
clock_seconds() { read_window clock "$(box Label31)" && cat "$work/reading.log"; }
clock_reaches() { local now; now=$(clock_seconds) && ((now >= $1)); }  # clock_reaches SECONDS_SINCE_MIDNIGHT
