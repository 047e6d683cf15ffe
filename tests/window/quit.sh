#!/bin/bash
# The window's quit button ends the program at once, with status 0, and writes
# nothing beside the program.
# Usage: quit.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin
start_program --copy --wait "$program"

program_folder_listing() {
    (cd "$program_folder" && find . -printf '%p %s %T@\n' | sort)
}
listing_before=$(program_folder_listing)

click cmdQuit
wait_until 5 "le programme s'arrête" program_ended
[ "$program_status" = 0 ] || fail "le programme s'est arrêté avec l'état $program_status"
wait_until 5 "la fenêtre se ferme" window_gone "$window"
[ "$(program_folder_listing)" = "$listing_before" ] || fail "le programme a changé les fichiers de son dossier"
say "état 0"
