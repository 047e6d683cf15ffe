#!/bin/bash
# One gadget per user and display, which no other user can stop or drive, and which
# rests while no one can see it; one self-contained case per run (a function
# case_NAME below).
# Usage: single_instance.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}
# The program's sentence when no folder is safe for its socket.
readonly kNoSafePlace='un second lancement ouvrira une seconde fenêtre'
readonly kOtherUser=solvane-essai

# A launch of the program (from a copy of its folder) that ends at once with status
# 0, leaving one window on the screen, the first one.
second_launch_ends() { # second_launch_ends WHAT [--as USER]
    local what=$1
    shift
    local copy
    copy=$(copy_program "$program")
    chmod 755 "$(dirname "$copy")"  # for a launch as another user
    start_program "$@" "$copy"
    wait_until 5 "la deuxième copie s'arrête ($what)" program_ended
    ((program_status == 0)) || fail "la deuxième copie s'est arrêtée avec l'état $program_status ($what)"
    main_window_alone || fail "une deuxième fenêtre Solvane s'est ouverte ($what)"
}

# The number of lines of the program's standard error that say kNoSafePlace.
no_safe_place_said() { grep -c "$kNoSafePlace" "$work/program-errors.log" || true; }

# DISPLAY written five ways names one X server, and one gadget: the launches after
# the first end with status 0, and no second window opens. Debian 13's libxcb reads
# « unix:N » as the path of a socket, « N »: no X client reaches the server so, and
# Solvane says in French that it does not answer, with status 1, as for any server
# that does not.
case_display_spellings() {
    window_test_begin
    local number=${DISPLAY#:} spelling
    program_environment=("DISPLAY=:$number")
    start_program --copy --wait "$program"
    local first=$program_pid said=()
    for spelling in ":$number.0" "unix/:$number" "unix:$number" "unix:$number.0"; do
        program_environment=("DISPLAY=$spelling")
        if DISPLAY=$spelling xprop -root -len 0 _NET_SUPPORTED >/dev/null 2>&1; then
            second_launch_ends "DISPLAY=$spelling"
            said+=("« $spelling »")
        else
            start_program --copy "$program"
            wait_until 5 "la copie s'arrête (DISPLAY=$spelling, que ce système ne lit pas comme un affichage)" program_ended
            if ((program_status != 1)) || ! grep -q "« $spelling » ne répond pas" "$work/program-errors.log"; then
                fail "DISPLAY=$spelling, qu'aucun client X ne lit ici : état $program_status, « $(cat "$work/program-errors.log") »"
            fi
            main_window_alone || fail "une deuxième fenêtre Solvane s'est ouverte (DISPLAY=$spelling)"
        fi
    done
    process_running "$first" || fail "la première copie s'est arrêtée"
    say "« :$number » et ${said[*]} : une seule fenêtre"
}

# Five launches at the same instant, the socket of a killed gadget still there: one
# takes it over and opens the one window, the four others end with status 0.
case_five_at_once() {
    window_test_begin
    start_program --copy --wait "$program"
    kill -KILL "$program_pid"
    wait_until 5 "le programme tué s'arrête" program_ended
    [ -n "$(find "$XDG_RUNTIME_DIR" -type s)" ] || fail "le programme tué n'a pas laissé de socket"
    local launches=() copies=() copy pid ended=0 status
    for _ in 1 2 3 4 5; do copies+=("$(copy_program "$program")"); done
    for copy in "${copies[@]}"; do
        "$copy" >>"$work/program.log" 2>>"$work/program-errors.log" &
        launches+=("$!")
        remember_pid "$!"
    done
    wait_until $((15 * kSlowdown)) "une fenêtre s'ouvre" solvane_window_shown
    # shellcheck disable=SC2317  # called through wait_until
    four_ended() {
        local running=0
        for pid in "${launches[@]}"; do process_running "$pid" && running=$((running + 1)); done
        ((running == 1))
    }
    wait_until 10 "quatre des cinq copies s'arrêtent" four_ended
    for pid in "${launches[@]}"; do
        process_running "$pid" && continue
        status=0
        wait "$pid" || status=$?
        forget_pid "$pid"
        ((status == 0)) || fail "une copie s'est arrêtée avec l'état $status"
        ended=$((ended + 1))
    done
    ((ended == 4)) || fail "$ended copies sur cinq se sont arrêtées"
    (($(solvane_windows | grep -c .) == 1)) || fail "plus d'une fenêtre Solvane : $(solvane_windows)"
    say "cinq lancements au même instant sur une socket abandonnée : une fenêtre, quatre états 0"
}

# A runtime folder that others may write is refused for one of the user's own in the
# temporary folder, made 0700, where the second launch finds the first. With no safe
# folder at all (an unwritable temporary folder), the gadget opens anyway and says
# once that a second launch will open a second window.
case_unsafe_folders() {
    window_test_begin
    mkdir -m 777 "$work/open-runtime"
    chmod 777 "$work/open-runtime"  # whatever the umask
    mkdir "$work/tmp"
    program_environment=("XDG_RUNTIME_DIR=$work/open-runtime" "TMPDIR=$work/tmp")
    start_program --copy --wait "$program"
    local own
    own="$work/tmp/solvane-$(id -u)"
    [ -z "$(ls -A "$work/open-runtime")" ] || fail "le programme a écrit dans un dossier que d'autres peuvent écrire"
    [ "$(stat -c '%a %u' "$own")" = "700 $(id -u)" ] ||
        fail "le dossier $own n'est pas à l'utilisateur seul : $(stat -c '%a %u' "$own" 2>&1)"
    [ -n "$(find "$own" -type s)" ] || fail "aucune socket dans $own"
    (($(no_safe_place_said) == 0)) || fail "le programme se plaint alors qu'un dossier sûr existe"
    local first=$program_pid
    second_launch_ends "dossier d'exécution ouvert à tous"
    program_pid=$first
    stop_program

    chmod 500 "$work/tmp"
    rm -rf "$own"
    program_environment=(-u XDG_RUNTIME_DIR "TMPDIR=$work/tmp")
    if [ -w "$work/tmp" ]; then
        say "dossier temporaire sans droit d'écriture : non vérifié, l'utilisateur $(id -un) écrit partout"
    else
        start_program --copy --wait "$program"
        (($(no_safe_place_said) == 1)) ||
            fail "sans dossier sûr, le programme ne le dit pas une fois : $(cat "$work/program-errors.log")"
    fi
    say "le dossier d'exécution ouvert à tous est refusé ; sans dossier sûr, la fenêtre s'ouvre et le dit"
}

# The second user of the machine, made once (the test runs as root).
other_user_exists() {
    id -u "$kOtherUser" >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin "$kOtherUser" ||
        fail "useradd n'a pas créé l'utilisateur $kOtherUser"
}

# The command that runs the rest of its line as kOtherUser.
readonly kAsOtherUser=(setpriv --reuid "$kOtherUser" --regid "$kOtherUser" --clear-groups --)

# listen_at [COMMAND...]: starts COMMAND (a listener_command) in the background.
listen_at() {
    "$@" >"$work/listener.log" 2>&1 &
    remember_pid "$!"
}
listener_command() { # listener_command PATH: the Python that listens at PATH
    printf '%s\n' "import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(16)
print('ready', flush=True)
while True:
    c, _ = s.accept()
    try:
        c.sendall(b'ok\\n')
    except OSError:
        pass
    c.close()"
}
listener_ready() { grep -qx ready "$work/listener.log"; }

# knock_at PATH: connects to the socket at PATH as this user and prints what it
# answers within 2 s.
knock_at() {
    /usr/bin/python3 -c "import socket, sys
s = socket.socket(socket.AF_UNIX)
s.settimeout(2)
s.connect(sys.argv[1])
try:
    print(s.recv(16).decode().strip() or 'closed')
except socket.timeout:
    print('silent')" "$1"
}

# Another user of the machine, who shares its temporary folder, can neither stop the
# user's gadget from opening nor drive it, and nothing of theirs is removed:
#   - their folder under the name of the user's own is refused: the gadget opens,
#     and says once that a second launch will open a second window;
#   - a socket of theirs in the user's own folder, listening, is neither obeyed nor
#     removed, even with the gadget's lock held: the gadget opens, and says it;
#   - their request on the gadget's socket is closed unanswered, and the window stays
#     minimised, while the user's own second launch brings it back.
# The other user is made by the test, which runs as root; otherwise it is skipped.
case_another_user() {
    if (($(id -u) != 0)); then
        say "IGNORÉ : il faut être root pour créer un second utilisateur (useradd)"
        return 0
    fi
    require_commands setpriv useradd /usr/bin/python3
    window_test_begin
    other_user_exists
    local other_uid shared
    other_uid=$(id -u "$kOtherUser")
    # The programs' copies and the shared temporary folder are open to the other user.
    chmod 711 "$work"
    shared="$work/shared"
    mkdir -m 1777 "$shared"
    chmod 1777 "$shared"
    mkdir -m 777 "$work/other-home"
    local socket_name="solvane-$DISPLAY-"

    # 1. The other user took the name of root's folder first, and listens in it.
    "${kAsOtherUser[@]}" mkdir -m 777 "$shared/solvane-0"
    listen_at "${kAsOtherUser[@]}" /usr/bin/python3 -c "$(listener_command)" "$shared/solvane-0/$socket_name"
    wait_until 5 "l'autre utilisateur écoute" listener_ready
    program_environment=(-u XDG_RUNTIME_DIR "TMPDIR=$shared")
    start_program --copy --wait "$program"
    (($(no_safe_place_said) == 1)) ||
        fail "dans le dossier d'un autre, le programme ne dit pas une fois qu'il n'a pas de place sûre : $(cat "$work/program-errors.log")"
    [ -S "$shared/solvane-0/$socket_name" ] || fail "la socket de l'autre utilisateur a disparu"
    stop_program

    # 2. A socket of root's in the other user's own folder, listening.
    local own="$shared/solvane-$other_uid" copy
    "${kAsOtherUser[@]}" mkdir -m 700 "$own"
    listen_at /usr/bin/python3 -c "$(listener_command)" "$own/$socket_name"
    wait_until 5 "root écoute dans le dossier de l'autre utilisateur" listener_ready
    chmod 777 "$own/$socket_name"  # which the other user may then connect to
    copy=$(copy_program "$program")
    chmod 755 "$(dirname "$copy")"
    program_environment=(-u XDG_RUNTIME_DIR "TMPDIR=$shared" "HOME=$work/other-home")
    start_program --wait --as "$kOtherUser" "$copy"
    (($(no_safe_place_said) == 1)) ||
        fail "devant la socket de root, le programme ne dit pas une fois qu'il n'a pas de place sûre : $(cat "$work/program-errors.log")"
    [ "$(stat -c %u "$own/$socket_name")" = 0 ] || fail "la socket de root a été supprimée"
    stop_program
    # Root holds the gadget's lock too, as a running gadget would: its socket's answer is
    # not obeyed, and the gadget opens at once, saying so, rather than waiting for it.
    [ -f "$own/$socket_name.lock" ] || fail "le programme n'a pas laissé son verrou $own/$socket_name.lock"
    start_other_window /usr/bin/python3 -c "import fcntl, sys, time
lock = open(sys.argv[1])
fcntl.flock(lock, fcntl.LOCK_EX)
print('held', flush=True)
time.sleep(1000)" "$own/$socket_name.lock"
    wait_until 5 "root tient le verrou" grep -qx held "$work/other.log"
    start_program --wait --as "$kOtherUser" "$copy"
    (($(no_safe_place_said) == 1)) ||
        fail "devant le verrou et la socket de root, le programme ne dit pas une fois qu'il n'a pas de place sûre : $(cat "$work/program-errors.log")"
    stop_program
    stop_process "${session_pids[-1]}"  # the lock held by root
    # 3. The other user's gadget serves; root knocks, then the other user launches again.
    rm "$own/$socket_name"
    start_program --wait --as "$kOtherUser" "$copy"
    local gadget=$program_pid
    xdotool windowminimize "$window"
    wait_until 5 "la fenêtre est réduite" is_iconic
    [ -S "$own/$socket_name" ] || fail "aucune socket dans $own"
    local answer
    answer=$(knock_at "$own/$socket_name")
    [ "$answer" = closed ] || fail "la demande de root reçoit « $answer » au lieu d'être fermée sans réponse"
    is_iconic || fail "la demande de root a ramené la fenêtre de l'autre utilisateur"
    second_launch_ends "l'autre utilisateur relance" --as "$kOtherUser"
    wait_until 5 "la fenêtre revient pour son utilisateur" eval '! is_iconic'
    process_running "$gadget" || fail "la première copie s'est arrêtée"
    say "l'autre utilisateur ne bloque ni ne commande la fenêtre, et rien du sien n'est supprimé"
}

readonly kRestSeconds=10

# quiet_for_a_second: the program started first does not wake in a second.
quiet_for_a_second() {
    local before
    before=$(context_switches "$gadget_pid")
    sleep 1
    (($(context_switches "$gadget_pid") == before))
}

# rests_for WHAT: the program started first does not wake once in kRestSeconds.
rests_for() {
    local before after
    # What the change of state itself causes is over once openbox has handled it and
    # the program has read what it was sent, which a loaded machine may let it do late;
    # a program that wakes every second never gets that far.
    wait_for_window_manager
    wait_until 10 "le programme a traité le changement" quiet_for_a_second
    before=$(context_switches "$gadget_pid")
    sleep "$kRestSeconds"  # the measuring span
    after=$(context_switches "$gadget_pid")
    ((after == before)) || fail "$1, le programme s'est réveillé $((after - before)) fois en $kRestSeconds s"
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; }

# A second copy of the program ends at once with status 0 and brings the first back.
launch_again_brings_back() {
    start_program --copy "$program"
    wait_until 5 "la deuxième copie s'arrête ($1)" program_ended
    ((program_status == 0)) || fail "la deuxième copie s'est arrêtée avec l'état $program_status ($1)"
    program_pid=$gadget_pid
    wait_until 5 "la fenêtre revient, non réduite ($1)" eval '! is_iconic'
    wait_until 5 "la fenêtre est active ($1)" is_active
    read -r x y <<<"$kBackgroundPoint"
    wait_until 5 "la fenêtre est devant ($1)" point_is "$((origin_x + x))" "$((origin_y + y))" "$kBackgroundGrey" 12
    main_window_alone || fail "une deuxième fenêtre Solvane s'est ouverte ($1)"
}

# One gadget per display, which rests while no one can see it.
#   - Minimised, and then entirely covered by another window (Xvfb has no
#     compositor), the program does not wake once in 10 s, all threads counted,
#     once the threads that Qt's pool lends at start-up have ended.
#   - Launched again meanwhile, the second copy ends with status 0 within 5 s, and
#     the first window comes back restored, in front, active; no second window opens.
#   - Killed, it leaves its socket behind, which does not stop the next start, nor
#     that gadget from being found by the launch after.
case_second_launch_and_rest() {
    window_test_begin
    start_program --copy --wait "$program"
    gadget_pid=$program_pid

    click CmdMinimise
    wait_until 5 "la fenêtre est réduite" is_iconic
    wait_until 60 "les fils du pool de Qt se terminent" pool_threads_ended "$gadget_pid"
    rests_for "réduit"
    launch_again_brings_back "la première réduite"

    start_other_window xlogo -geometry "${screen_width}x${screen_height}+0+0"
    read -r x y <<<"$kBackgroundPoint"
    wait_until 5 "xlogo couvre la fenêtre" eval "! point_is $((origin_x + x)) $((origin_y + y)) '$kBackgroundGrey' 12"
    rests_for "couvert par une autre fenêtre"
    launch_again_brings_back "la première couverte"

    kill -KILL "$gadget_pid"
    wait_until 5 "le programme tué s'arrête" program_ended
    start_program --copy --wait "$program"
    gadget_pid=$program_pid
    launch_again_brings_back "après un arrêt brutal"
    say "une seule copie, au repos quand elle ne se voit pas, et une socket abandonnée ne gêne pas"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
