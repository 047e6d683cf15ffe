#!/bin/bash
# The end of a test's session stops what the session started, and nothing else. A
# process that ended unseen leaves its number free, and the system gives it to the
# next process it starts, within minutes on a busy machine: a test that then killed
# that number would kill a stranger, the X server of another test or a program of
# the user's. The stranger is made here by asking the system for that very number
# (/proc/sys/kernel/ns_last_pid, root only; skipped without it).
#
# session_end.sh CASE
#   end       the session ends as a script ends (x_session_end);
#   watchdog  the script is killed outright, and its watchdog ends what it started.
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/x_session.sh"

readonly kCase=${1:?session_end.sh end|watchdog}
readonly kNextNumber=/proc/sys/kernel/ns_last_pid

if [ "$(id -u)" != 0 ] || ! [ -w "$kNextNumber" ]; then
    say "ignoré : il faut être root pour choisir le numéro du prochain processus"
    exit 77
fi

stranger=''
folder=$(mktemp -d)
trap '[ -z "$stranger" ] || kill -KILL "$stranger" 2>/dev/null || true; rm -rf "$folder"' EXIT

# start_with_number NUMBER: starts a stranger (a process no session knows) and sets
# stranger when the system gave it NUMBER; other processes of the machine may take
# the number first, so it asks again.
start_with_number() {
    local attempt
    for attempt in $(seq 50); do
        echo $(($1 - 1)) >"$kNextNumber"
        sleep 300 &
        if (($! == $1)); then
            stranger=$!
            return 0
        fi
        kill -KILL "$!"
        wait "$!" 2>/dev/null || true
    done
    fail "le système n'a pas redonné le numéro $1 en $attempt essais"
}

# session_script FOLDER ENDING: a script of its own, which begins a session, starts a
# process that lives and one whose end it does not see, writes both numbers in
# FOLDER, then runs ENDING.
session_script() {
    cat <<EOF
set -euo pipefail
source '$(dirname "$0")/../../tools/lib/x_session.sh'
x_session_begin
sleep 300 & remember_pid \$!
echo \$! >'$1/living'
sleep 300 & remember_pid \$!
echo \$! >'$1/ended'
kill -KILL \$!
wait \$! || true
echo ready >'$1/ready'
$2
EOF
}

file_written() { [ -s "$1" ]; }

case $kCase in
    end) ending='read -r _ <"'$folder'/go"' ;;          # ends by itself once told to
    watchdog) ending='sleep 300' ;;                      # killed outright below
    *) fail "cas inconnu : $kCase" ;;
esac
mkfifo "$folder/go"
bash -c "$(session_script "$folder" "$ending")" >"$folder/script.log" 2>&1 &
script=$!
poll_until 10 file_written "$folder/ready" || fail "le script de session ne démarre pas : $(cat "$folder/script.log")"
living=$(cat "$folder/living")
ended=$(cat "$folder/ended")
start_with_number "$ended"

case $kCase in
    end) echo go >"$folder/go" ;;
    watchdog) kill -KILL "$script" ;;
esac
wait "$script" 2>/dev/null || true
poll_until 10 process_ended "$living" || fail "le processus de la session ($living) vit encore après sa fin ($kCase)"
process_running "$stranger" || fail "la fin de la session ($kCase) a tué le processus $stranger, qui n'était pas le sien"
say "la fin de la session ($kCase) arrête les siens et laisse le processus $stranger, qui a repris un numéro"
