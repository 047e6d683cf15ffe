#!/bin/bash
# The window opens centred, and its rounded outline leaves out the leftmost pixel
# column, the top pixel row and the four corners: there the screen below shows
# through and takes the mouse, while the pixels just inside belong to the window.
# Usage: outline.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage: $0 SOLVANE_EXECUTABLE"}

start_managed_program "$program"

failures=()

# Centred on the 1024 x 768 screen, give or take the rounding of a half pixel.
centre_x=$(( (kScreenWidth - kWindowWidth) / 2 ))
centre_y=$(( (kScreenHeight - kWindowHeight) / 2 ))
if (( origin_x < centre_x - 1 || origin_x > centre_x + 1 || origin_y < centre_y - 1 || origin_y > centre_y + 1 )); then
    failures+=("the window opened at $origin_x,$origin_y, not centred at $centre_x,$centre_y")
fi

# The outline is the rectangle from (1, 1) to (609, 447), right and bottom edges
# excluded, with corners rounded by quarter circles of radius 15 centred at
# (16, 16), (594, 16), (16, 432) and (594, 432). Corner points lie at least 2.5
# pixels from the arc, so that any fair drawing of the arc puts them on their side.
# Rows: window x, window y, what the point is.
outside=(
    '0 0 the top-left pixel'
    '0 100 the leftmost column'
    '0 223 the leftmost column, halfway down'
    '0 440 the leftmost column, near the bottom'
    '100 0 the top row'
    '304 0 the top row, halfway across'
    '600 0 the top row, near the right'
    '3 3 the cut top-left corner'
    '606 2 the cut top-right corner'
    '2 444 the cut bottom-left corner'
    '606 444 the cut bottom-right corner'
    '608 446 the bottom-right pixel'
)
inside=(
    '1 100 the second column'
    '1 223 the second column, halfway down'
    '100 1 the second row'
    '304 1 the second row, halfway across'
    '608 223 the rightmost column'
    '304 446 the bottom row'
    '7 7 just inside the top-left arc'
    '601 7 just inside the top-right arc'
    '7 439 just inside the bottom-left arc'
    '601 439 just inside the bottom-right arc'
)

screenshot
for row in "${outside[@]}"; do
    read -r x y what <<<"$row"
    colour=$(window_pixel "$x" "$y")
    colours_near "$colour" "$kRootColour" 0 ||
        failures+=("($x, $y), $what, shows $colour instead of the screen's colour $kRootColour")
done
for row in "${inside[@]}"; do
    read -r x y what <<<"$row"
    colour=$(window_pixel "$x" "$y")
    # The window's dark rim is far from the screen's green; allow for blending at the edge.
    colours_near "$colour" "$kRootColour" 40 &&
        failures+=("($x, $y), $what, shows the screen's colour $colour instead of the window")
done

# The mouse follows the outline too: over a left-out pixel it is over the screen
# itself, just inside it is over the window.
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
root=$((root))
window_under_pointer() { # window_under_pointer X Y (window pixels)
    pointer_to "$1" "$2"
    xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p'
}
for row in "${outside[@]}"; do
    read -r x y what <<<"$row"
    under=$(window_under_pointer "$x" "$y")
    [ "$under" = "$root" ] || failures+=("the mouse at ($x, $y), $what, is over window $under, not over the screen")
done
for row in "${inside[@]}"; do
    read -r x y what <<<"$row"
    under=$(window_under_pointer "$x" "$y")
    [ "$under" != "$root" ] || failures+=("the mouse at ($x, $y), $what, is over the screen, not over the window")
done

if (( ${#failures[@]} > 0 )); then
    printf '%s\n' "${failures[@]}" >&2
    fail "${#failures[@]} point(s) of the outline are wrong"
fi
echo "outline: ${#outside[@]} points outside and ${#inside[@]} inside, centred at $origin_x,$origin_y"
