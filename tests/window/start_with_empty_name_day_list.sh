#!/bin/bash
# With an empty name-day list the program starts and keeps running: the refreshes tick
# on for seconds, the moon shows, and the name-day line shows its words with no name.
# Usage: start_with_empty_name_day_list.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

# The clock starts at 10:00:00 when the program starts.
window_test_begin --reading --at '2024-02-29 10:00:00'
executable=$(copy_program "$program")
: >"$(dirname "$executable")/fetes.txt"
start_program --wait "$executable"

wait_until 10 "la ligne de la fête ne montre aucun prénom" box_reads Label32.line 'fête à souhaiter :'
wait_until 10 "la case de la lune montre la lune du 29 février 2024" box_shows Image1 "$program_folder/19.gif"
# Five seconds of ticks of both timers.
wait_until 15 "la ligne de l'horloge atteint 10:00:05" clock_reaches $((10 * 3600 + 5))
process_running "$program_pid" || fail "le programme s'est arrêté"
main_window_alone || fail "la fenêtre n'est pas seule à l'écran (une boîte d'erreur ?)"
box_reads Label32.line 'fête à souhaiter :' ||
    fail "après cinq secondes la ligne de la fête se lit $(cat "$work/reading.log")"
! grep -q '^solvane: ' "$work/program-errors.log" || fail "le programme a signalé : $(cat "$work/program-errors.log")"
say "en marche après 5 s, aucun prénom montré"
