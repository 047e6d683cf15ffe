#!/bin/bash
# The window on screens of 125, 150 and 200 % (Xft.dpi 120, 144 and 192). The scale
# rounds to a whole number: at 150 and 200 % the window is drawn at twice its size,
# and its two picture buttons show their pictures drawn at 26 x 26, pixel for pixel,
# not the 13 x 13 ones enlarged; at 125 % it is drawn as at 100 %, with the 13 x 13
# ones. At 250 % on a screen of 1920 x 1080, three times the window would be taller
# than the screen: it is drawn at twice its size, whole on the screen.
# Usage: high_density_screens.sh SOLVANE_EXECUTABLE PICTURES_FOLDER
#   PICTURES_FOLDER holds the GIF files that the build compiles into the program.
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"

readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE DOSSIER_DES_IMAGES"}
readonly pictures=${2:?"usage : $0 PROGRAMME_SOLVANE DOSSIER_DES_IMAGES"}

# picture_shown BOX SCALE FILE: the screen shows FILE, pixel for pixel, centred in
# BOX ("LEFT TOP WIDTH HEIGHT") of a window drawn SCALE times its size.
picture_shown() {
    local size left top width height
    size=$(identify -format '%w' "$3")
    read -r left top width height <<<"$1"
    import -silent -window root \
        -crop "${size}x${size}+$((origin_x + left * $2 + (width * $2 - size) / 2))+$((origin_y + top * $2 + (height * $2 - size) / 2))" \
        +repage "$work/shown.png"
    [ "$(compare -metric AE "$work/shown.png" "$3" null: 2>&1)" = 0 ]
}

# A screen that holds the window at twice its size.
screen_width=2560 screen_height=1600
window_test_begin --bare
require_commands xrdb identify compare
# The pointer away from the buttons, which it would light up.
xdotool mousemove --sync 0 0

for screen in '120 1' '144 2' '192 2' '240 2 1920x1080'; do
    read -r dpi scale size <<<"$screen"
    if [ -n "$size" ]; then
        IFS=x read -r screen_width screen_height <<<"$size"
        start_display
        xdotool mousemove --sync 0 0
    fi
    echo "Xft.dpi: $dpi" | xrdb -nocpp -merge
    start_program --copy "$program"
    window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] || fail "aucune fenêtre visible titrée Solvane après 15 s, à Xft.dpi $dpi"
    size=$(window_geometry)
    [[ $size == *" $((kWindowWidth * scale)) $((kWindowHeight * scale))" ]] ||
        fail "à Xft.dpi $dpi la fenêtre mesure $size, pas $scale fois $kWindowWidth x $kWindowHeight"
    read_origin
    ((origin_x >= 0 && origin_y >= 0 && origin_x + kWindowWidth * scale <= screen_width &&
      origin_y + kWindowHeight * scale <= screen_height)) ||
        fail "à Xft.dpi $dpi la fenêtre en $origin_x $origin_y dépasse de l'écran de $screen_width x $screen_height"
    suffix=''
    ((scale == 1)) || suffix='@2x'
    wait_until 10 "le bouton de réduction montre minimise$suffix.gif à Xft.dpi $dpi" \
        picture_shown "${kBoxes[CmdMinimise]}" "$scale" "$pictures/minimise$suffix.gif"
    wait_until 10 "le bouton de fermeture montre quit$suffix.gif à Xft.dpi $dpi" \
        picture_shown "${kBoxes[cmdQuit]}" "$scale" "$pictures/quit$suffix.gif"
    stop_program
done
say "la fenêtre arrondit son échelle, tient sur l'écran et montre les images des boutons dessinées pour elle"
