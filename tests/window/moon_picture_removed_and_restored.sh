#!/bin/bash
# The moon picture is read from the program's folder at every refresh: taken away while
# the program runs, it leaves the picture's box to the window's grey and the program
# goes on running; put back, it shows again. The clock reads 29 February 2024, whose
# moon is picture 19.
# Usage: moon_picture_removed_and_restored.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

start_program_on_leap_day "$program"

picture=$program_folder/19.gif
kept=$work/19.gif
cp -p "$picture" "$kept"
wait_until 10 "la case de la lune montre 19.gif" box_shows Image1 "$kept"

rm "$picture"
wait_until 10 "la case de la lune prend le gris de la fenêtre une fois 19.gif parti" \
    box_shows Image1 "$kBackgroundGrey" 12
# The first timer goes on ticking too: the clock line moves on by two seconds.
read_clock() { gone_at=$(clock_seconds); }
wait_until 5 "la ligne de l'horloge se lit" read_clock
wait_until 10 "l'horloge avance pendant que l'image manque" clock_reaches $((gone_at + 2))
process_running "$program_pid" || fail "le programme s'est arrêté quand son image de la lune a disparu"
main_window_alone || fail "la fenêtre n'est pas seule à l'écran (une boîte d'erreur ?) sans son image de la lune"

# Put back whole at once, so that no tick reads half a file.
cp -p "$kept" "$program_folder/19.gif.new"
mv "$program_folder/19.gif.new" "$picture"
wait_until 10 "la case de la lune remontre 19.gif une fois l'image revenue" box_shows Image1 "$picture"
main_window_alone || fail "la fenêtre n'est pas seule à l'écran une fois l'image revenue"
! grep -q '^solvane: ' "$work/program-errors.log" || fail "le programme a signalé : $(cat "$work/program-errors.log")"
say "gris tant que 19.gif manquait, la lune de nouveau une fois l'image revenue"
