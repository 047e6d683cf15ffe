#!/bin/bash
# One gadget per display, which rests while no one can see it.
#   - Minimised, and then entirely covered by another window (Xvfb has no
#     compositor), the program does not wake once in 10 s, all threads counted,
#     once the threads that Qt's pool lends at start-up have ended.
#   - Launched again meanwhile, the second copy ends with status 0 within 5 s, and
#     the first window comes back restored, in front, active; no second window opens.
#   - Killed, it leaves its socket behind, which does not stop the next start, nor
#     that gadget from being found by the launch after.
# Usage: second_launch_and_rest.sh SOLVANE_EXECUTABLE
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}
readonly kRestSeconds=10

# rests_for WHAT: the program started first does not wake once in kRestSeconds.
rests_for() {
    local before after
    # What the change of state itself causes is over once openbox has handled it.
    wait_for_window_manager
    sleep 0.5
    before=$(context_switches "$gadget_pid")
    sleep "$kRestSeconds"  # the measuring span
    after=$(context_switches "$gadget_pid")
    ((after == before)) || fail "$1, le programme s'est réveillé $((after - before)) fois en $kRestSeconds s"
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; }

# A second copy of the program ends at once with status 0 and brings the first back.
launch_again() {
    launch_program "$(copy_program_folder "$program")"
    wait_until 5 "la deuxième copie s'arrête ($1)" program_ended
    ((program_status == 0)) || fail "la deuxième copie s'est arrêtée avec l'état $program_status ($1)"
    program_pid=$gadget_pid
    wait_until 5 "la fenêtre revient, non réduite ($1)" eval '! is_iconic'
    wait_until 5 "la fenêtre est active ($1)" is_active
    read -r x y <<<"$kBackgroundPoint"
    wait_until 5 "la fenêtre est devant ($1)" window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
    main_window_alone || fail "une deuxième fenêtre Solvane s'est ouverte ($1)"
}

start_managed_program "$program"
gadget_pid=$program_pid

click_in_box "${kBoxes[CmdMinimise]}"
wait_until 5 "la fenêtre est réduite" is_iconic
wait_until 60 "les fils du pool de Qt se terminent" pool_threads_ended "$gadget_pid"
rests_for "réduit"
launch_again "la première réduite"

start_other_window xlogo -geometry "${screen_width}x${screen_height}+0+0"
read -r x y <<<"$kBackgroundPoint"
wait_until 5 "xlogo couvre la fenêtre" eval "! window_point_is_near $x $y '$kBackgroundGrey' 12"
rests_for "couvert par une autre fenêtre"
launch_again "la première couverte"

kill -KILL "$gadget_pid"
wait_until 5 "le programme tué s'arrête" program_ended
launch_program "$(copy_program_folder "$program")"
wait_for_main_window
gadget_pid=$program_pid
launch_again "après un arrêt brutal"
say "une seule copie, au repos quand elle ne se voit pas, et une socket abandonnée ne gêne pas"
