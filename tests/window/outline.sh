#!/bin/bash
# The window opens centred, and its rounded outline leaves out the leftmost pixel
# column, the top pixel row and the four corners: there the screen below shows
# through and takes the mouse, while the pixels just inside belong to the window.
# Usage: outline.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin
start_program --copy --wait "$program"

failures=()

# Centred on the 1024 x 768 screen, give or take the rounding of a half pixel.
centre_x=$(( (screen_width - kWindowWidth) / 2 ))
centre_y=$(( (screen_height - kWindowHeight) / 2 ))
if (( origin_x < centre_x - 1 || origin_x > centre_x + 1 || origin_y < centre_y - 1 || origin_y > centre_y + 1 )); then
    failures+=("la fenêtre s'est ouverte en $origin_x,$origin_y, pas centrée en $centre_x,$centre_y")
fi

# The outline is the rectangle from (1, 1) to (609, 447), right and bottom edges
# excluded, with corners rounded by quarter circles of radius 15 centred at
# (16, 16), (594, 16), (16, 432) and (594, 432). Corner points lie at least 2.5
# pixels from the arc, so that any fair drawing of the arc puts them on their side.
# Rows: window x, window y, what the point is.
outside=(
    "0 0 le pixel en haut à gauche"
    "0 100 la colonne de gauche"
    "0 223 la colonne de gauche, à mi-hauteur"
    "0 440 la colonne de gauche, près du bas"
    "100 0 la ligne du haut"
    "304 0 la ligne du haut, au milieu"
    "600 0 la ligne du haut, près de la droite"
    "3 3 le coin coupé en haut à gauche"
    "606 2 le coin coupé en haut à droite"
    "2 444 le coin coupé en bas à gauche"
    "606 444 le coin coupé en bas à droite"
    "608 446 le pixel en bas à droite"
)
inside=(
    "1 100 la deuxième colonne"
    "1 223 la deuxième colonne, à mi-hauteur"
    "100 1 la deuxième ligne"
    "304 1 la deuxième ligne, au milieu"
    "608 223 la colonne de droite"
    "304 446 la ligne du bas"
    "7 7 juste dans l'arc en haut à gauche"
    "601 7 juste dans l'arc en haut à droite"
    "7 439 juste dans l'arc en bas à gauche"
    "601 439 juste dans l'arc en bas à droite"
)

grab_screen
for row in "${outside[@]}"; do
    read -r x y what <<<"$row"
    colour=$(pixel $((origin_x + x)) $((origin_y + y)))
    colours_near "$colour" "$kScreenColour" 0 ||
        failures+=("($x, $y), $what, montre $colour au lieu de la couleur de l'écran $kScreenColour")
done
for row in "${inside[@]}"; do
    read -r x y what <<<"$row"
    colour=$(pixel $((origin_x + x)) $((origin_y + y)))
    # The window's dark rim is far from the screen's green; allow for blending at the edge.
    colours_near "$colour" "$kScreenColour" 40 &&
        failures+=("($x, $y), $what, montre la couleur de l'écran $colour au lieu de la fenêtre")
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
    [ "$under" = "$root" ] || failures+=("la souris en ($x, $y), $what, est sur la fenêtre $under, pas sur l'écran")
done
for row in "${inside[@]}"; do
    read -r x y what <<<"$row"
    under=$(window_under_pointer "$x" "$y")
    [ "$under" != "$root" ] || failures+=("la souris en ($x, $y), $what, est sur l'écran, pas sur la fenêtre")
done

if (( ${#failures[@]} > 0 )); then
    printf '%s\n' "${failures[@]}" >&2
    fail "${#failures[@]} point(s) du contour sont faux"
fi
say "${#outside[@]} points dehors et ${#inside[@]} dedans, centrée en $origin_x,$origin_y"
