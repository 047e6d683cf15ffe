#!/bin/bash
# A session's end stops its own processes and nothing else: the number of one that
# ended unseen, given by the system to a stranger, is left alone. The stranger gets
# that number through /proc/sys/kernel/ns_last_pid (root only; skipped without it).
# session_end.sh end|watchdog: the script ends by itself, or is killed outright and
# its watchdog ends what it started.
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/window_driver.sh"
readonly kCase=${1:?session_end.sh end|watchdog} kNextNumber=/proc/sys/kernel/ns_last_pid
{ [ "$(id -u)" = 0 ] && [ -w "$kNextNumber" ]; } || { say "ignoré : il faut être root"; exit 77; }

folder=$(mktemp -d) stranger=''
trap '[ -z "$stranger" ] || kill -KILL "$stranger" 2>/dev/null; rm -rf "$folder"' EXIT
mkfifo "$folder/go"
# The session: one process that lives, one whose end it does not see.
bash -c 'set -euo pipefail; source "$1"; session_begin
    sleep 300 & remember_pid $!; living=$!
    sleep 300 & remember_pid $!; kill -KILL $!; wait $! || true
    echo "$living $!" >"$2/numbers"
    read -r _ <"$2/go"' _ "$(dirname "$0")/../../tools/lib/window_driver.sh" "$folder" >"$folder/script.log" 2>&1 &
script=$!
numbers_written() { [ -s "$folder/numbers" ]; }
poll_until 10 numbers_written || fail "la session ne démarre pas : $(cat "$folder/script.log")"
read -r living ended <"$folder/numbers"

for _ in $(seq 50); do  # other processes of the machine may take the number first
    echo $((ended - 1)) >"$kNextNumber"
    sleep 300 &
    (($! == ended)) && { stranger=$!; break; }
    kill -KILL $!
done
[ -n "$stranger" ] || fail "le système n'a pas redonné le numéro $ended"

case $kCase in
    end) echo go >"$folder/go" ;;
    watchdog) kill -KILL "$script" ;;
esac
wait "$script" 2>/dev/null || true
poll_until 10 process_ended "$living" || fail "le processus $living de la session vit encore après sa fin ($kCase)"
process_running "$stranger" || fail "la fin de la session ($kCase) a tué le processus $stranger, qui n'était pas le sien"
