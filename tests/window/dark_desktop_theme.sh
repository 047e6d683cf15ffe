#!/bin/bash
# The window keeps its own colours on a desktop of a dark GTK theme, and Qt's own
# menus speak French.
# Usage: dark_desktop_theme.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

# The window's checksum, once it stays the same for a second (its clock stands still).
window_sum=''
window_settles() {
    local before
    before=$(box_checksum Form1)
    sleep 1
    window_sum=$(box_checksum Form1)
    [ "$window_sum" = "$before" ]
}

# Qt's Fusion style would take its colours from a dark GTK theme and write white on
# the text buttons' light faces, and Qt's own menus are English unless translated:
# under that theme the window is the same pixel for pixel as on a plain desktop, the
# year field's menu light and in French.
dpkg -s qt6-gtk-platformtheme >/dev/null 2>&1 || fail "le thème GTK de Qt manque (paquet qt6-gtk-platformtheme)"
window_test_begin --reading
faked_clock_at '2026-12-06 09:05:07' frozen || fail "libfaketime est absente (paquet faketime)"
xdotool mousemove 0 0  # away from the window, where the mouse lights what it is over
for theme in '' Adwaita:dark; do
    program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
    [ -z "$theme" ] || program_environment+=(QT_QPA_PLATFORMTHEME=gtk3 "GTK_THEME=$theme")
    start_program --copy --wait "$program"
    wait_until 10 "la fenêtre ne change plus" window_settles
    [ -n "$theme" ] || { plain=$window_sum; stop_program; }
done
[ "$window_sum" = "$plain" ] || fail "sous un thème GTK sombre, la fenêtre n'a pas les couleurs d'un bureau clair"

# A click on the year opens its field; a right click there, its menu at the mouse.
click '225 100'
click '225 100' 3
menu="$((origin_x + 225)) $((origin_y + 100)) 260 220"
menu_reads_french() {
    says "$menu" 'Annuler Rétablir Couper Copier Coller Supprimer Tout sélectionner Augmenter Diminuer' 0.5 \
        Couper Copier Supprimer Augmenter
}
wait_until 5 "le menu du champ de l'année parle français" menu_reads_french
read -r x y width height <<<"$menu"
light=$(convert "$work/screen.ppm" -crop "${width}x${height}+$x+$y" -colorspace Gray -format '%[fx:mean>0.75]' info:)
[ "$light" = 1 ] || fail "sous un thème GTK sombre, le menu du champ de l'année est sombre"
say "les couleurs ne suivent pas le thème du bureau ; le menu de Qt est en français"
