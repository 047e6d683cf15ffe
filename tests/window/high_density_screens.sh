#!/bin/bash
# The window on screens of 125, 150 and 200 % (Xft.dpi 120, 144 and 192). The scale
# rounds to a whole number: at 150 and 200 % the window is drawn at twice its size,
# and its two picture buttons show their pictures drawn at 26 x 26, pixel for pixel,
# not the 13 x 13 ones enlarged; at 125 % it is drawn as at 100 %, with the 13 x 13
# ones.
# Usage: high_density_screens.sh SOLVANE_EXECUTABLE PICTURES_FOLDER
#   PICTURES_FOLDER holds the GIF files that the build compiles into the program.
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"

readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE PICTURES_FOLDER"}
readonly pictures=${2:?"usage: $0 SOLVANE_EXECUTABLE PICTURES_FOLDER"}
# Where the buttons' pictures lie, in window pixels: centred in their 17 x 17 boxes.
readonly kMinimisePicture='530 26'
readonly kQuitPicture='554 26'

# picture_shown X Y SCALE FILE: the screen shows FILE, pixel for pixel, from window
# point (X, Y) of a window drawn SCALE times its size.
picture_shown() {
    local size
    size=$(identify -format '%w' "$4")
    import -silent -window root -crop "${size}x${size}+$((origin_x + $1 * $3))+$((origin_y + $2 * $3))" +repage \
        "$work/shown.png"
    [ "$(compare -metric AE "$work/shown.png" "$4" null: 2>&1)" = 0 ]
}

harness_start
command -v xrdb >/dev/null 2>&1 || fail "missing command: xrdb (run tools/install-packages test)"
# A screen that holds the window at twice its size.
Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
remember_pid "$xvfb_pid"
wait_until 10 "Xvfb to report its display number" display_number_written
DISPLAY=":$(cat "$work/display")"
export DISPLAY
# The pointer away from the buttons, which it would light up.
xdotool mousemove --sync 0 0

for screen in '120 1' '144 2' '192 2'; do
    read -r dpi scale <<<"$screen"
    echo "Xft.dpi: $dpi" | xrdb -nocpp -merge
    launch_program "$(copy_program_folder "$program")"
    window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] || fail "no visible window named Solvane at Xft.dpi $dpi after 15 s"
    size=$(window_size "$window")
    [ "$size" = "$((kWindowWidth * scale)) $((kWindowHeight * scale))" ] ||
        fail "at Xft.dpi $dpi the window is $size, not $scale times 609 x 447"
    read_origin
    suffix=''
    ((scale == 1)) || suffix='@2x'
    # shellcheck disable=SC2086  # the picture's point is two numbers
    wait_until 10 "the minimise button to show minimise$suffix.gif at Xft.dpi $dpi" \
        picture_shown $kMinimisePicture "$scale" "$pictures/minimise$suffix.gif"
    # shellcheck disable=SC2086
    wait_until 10 "the quit button to show quit$suffix.gif at Xft.dpi $dpi" \
        picture_shown $kQuitPicture "$scale" "$pictures/quit$suffix.gif"
    stop_program
done
echo "PASS: the window rounds its scale and shows the buttons' pictures drawn for it"
