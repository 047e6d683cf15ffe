#!/bin/bash
# `solvane --json --suivre` when the system's clock is set, as a resume from suspend
# or a time server does: it sleeps on a timer for the next midnight that the kernel
# cancels whenever the clock is set (TFD_TIMER_CANCEL_ON_SET), and then reads the day
# afresh. A step forward past the midnight would wake a timer of an absolute time even
# without the cancel; the step back across a midnight shows the cancel: without it,
# the timer would wait for the midnight after, a day later.
#
# The machine's own clock is never set. The steps happen in a user-mode Linux (the
# package user-mode-linux): a kernel of its own that runs as an ordinary process,
# with this machine's files as its root (hostfs, read-only); the program runs on it
# unchanged. Its wall clock is this machine's monotonic clock plus an offset it keeps
# itself, and `date -s` in it moves only that offset: it has no call that sets this
# machine's clock. libfaketime cannot show this: it fakes the time
# the program reads, but the kernel cancels the timer only when its own clock is set
# and only if that moved the wall clock against the monotonic one (fs/timerfd.c,
# timerfd_clock_was_set, compares ktime_mono_to_real(0)), so a set by zero cancels
# nothing.
#
# Usage: tests/terminal/clock_step.sh PROGRAM
# Status 77 (skipped) when no such kernel can start here, or for a program built with
# AddressSanitizer, whose memory layout that kernel cannot give.

# The steps, in order: the wall clock set to (UTC), the day then answered, what it shows.
steps=(
    "2024-07-14T12:00:00 2024-07-14 la première réponse"
    "2024-07-15T12:00:00 2024-07-15 une sortie de veille le lendemain"
    "2024-07-14T23:30:00 2024-07-14 une horloge remise à l'heure en arrière, avant minuit"
)

# --- Inside the user-mode kernel, as its first process: clock_step.sh PROGRAM --------
# It writes one line « clock_step: … » on the console for each step, then powers off.
if [ $$ = 1 ]; then
    export PATH=/usr/sbin:/usr/bin:/sbin:/bin
    trap 'echo o >/proc/sysrq-trigger; sleep 60' EXIT
    echo "clock_step: noyau démarré"
    mount -t proc proc /proc
    exec 4>&1
    # The answers come through a pipe: the root is this machine's, read-only, and
    # nothing has to be written anywhere. Each read's time limit starts after the
    # step that it waits for, so no step moves a deadline already taken.
    for ((row = 0; row < ${#steps[@]}; ++row)); do
        read -r when _ <<<"${steps[row]}"
        date -u -s "${when/T/ }" >/dev/null
        if [ "$row" = 0 ]; then
            # Its answers to this shell, what it writes as an error to the console.
            coproc follow { { env -i TZ=UTC0 "$1" --json --suivre 2>&1 >&3 | sed -u 's/^/clock_step: erreur /' >&4; } 3>&1; }
        fi
        answer=''
        read -r -t 60 answer <&"${follow[0]}" || true
        echo "clock_step: $row ${answer:0:21}"
    done
    exit 0
fi

# --- On this machine ---------------------------------------------------------------
set -euo pipefail
program=$(realpath "$1")
script=$(realpath "$0")
failures=0
fail() { echo "clock_step: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
kernel=$(command -v linux.uml) || {
    fail "pas de noyau Linux en mode utilisateur (paquet user-mode-linux)"
    exit 1
}
if ldd "$program" | grep -q libasan; then
    echo "clock_step: non essayé : un programme construit avec AddressSanitizer ne démarre pas sous $kernel"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-clock-step.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Its memory is a file in TMPDIR, its control socket in uml_dir: both in $work. What
# follows « -- » is given to its first process, bash, as its arguments.
status=0
TMPDIR=$work timeout --kill-after=10 150 "$kernel" mem=96M quiet rootfstype=hostfs rootflags=/ ro \
    "uml_dir=$work" con=null con0=fd:0,fd:1 init=/bin/bash -- "$script" "$program" \
    </dev/null >"$work/console" 2>&1 || status=$?
if ! grep -q '^clock_step: noyau démarré' "$work/console"; then
    echo "clock_step: non essayé : le noyau en mode utilisateur n'a pas démarré (état $status) :"
    tail -n 5 "$work/console"
    exit 77
fi
for ((row = 0; row < ${#steps[@]}; ++row)); do
    read -r when day shows <<<"${steps[row]}"
    answer=$(sed -n "s/^clock_step: $row //p" "$work/console" | tr -d '\r')
    [ "$answer" = "{\"date\":\"$day\"," ] || fail "$shows (horloge mise à $when) : « $answer » au lieu du $day"
done
if grep -q '^clock_step: erreur' "$work/console"; then
    fail "le programme a écrit sur la sortie d'erreur : $(grep '^clock_step: erreur' "$work/console")"
fi
[ "$failures" = 0 ] || { tail -n 20 "$work/console" >&2; exit 1; }
echo "clock_step: ${#steps[@]} réglages de l'horloge dans un noyau en mode utilisateur"
