#!/usr/bin/python3
"""The reminders as the window shows them, on a bus of the test's own that stands for
the session and the system bus: python3-dbusmock's notification server (with
« actions ») and its logind. The program's wall clock is libfaketime's, read from a
file the test rewrites (a sleep is a jump of the clock between logind's two
signals); its timers count on the true monotonic clock. A reminder 15 min before a
10 h 00 event:
  - fires once, at its time, from the program's own timer;
  - « Reporter de 10 min » brings it back 10 min later, across a restart, which
    shows nothing before;
  - a sleep from 09 h 40 to 10 h 30 gives one notification of it after the wake;
  - a restart after that shows nothing;
and the calendar's bytes are the same after all of it.

Usage: reminders_bus.py REMINDER_PROBE PROGRAM_FOLDER
"""

import glob
import hashlib
import os
import subprocess
import sys
import tempfile

import dbus

from private_bus import Mock, check, private_bus, report, wait_until

NOTIFICATIONS, LOGIND = "org.freedesktop.Notifications", "org.freedesktop.login1"
SUMMARY, BODY = "10 h 00 Réunion d'équipe", "dans 15 min — Salle B"
CALENDAR = "\r\n".join([
    "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//essai//rappels//FR",
    "BEGIN:VEVENT", "UID:reunion@essai", "DTSTAMP:20261201T000000Z",
    "DTSTART;TZID=Europe/Paris:20261210T100000", "DURATION:PT1H",
    "SUMMARY:Réunion d'équipe", "LOCATION:Salle B",
    "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Rappel", "TRIGGER:-PT15M", "END:VALARM",
    "END:VEVENT", "END:VCALENDAR", ""])

class Probe:
    """The program's reminders, its clock at the file's time."""

    def __init__(self, arguments, environment):
        self.process = subprocess.Popen(arguments, env=environment, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)

    def looked(self):
        check("le programme regarde", self.process.stdout.readline().strip(), "regarde")

    def end(self):
        self.process.stdin.write("fin\n")
        self.process.stdin.flush()
        check("sortie", self.process.wait(), 0)


def run(arguments, folder, bus, environment, probe_environment):
    clock = os.path.join(folder, "horloge")

    def set_clock(local):
        with open(clock, "w", encoding="ascii") as file:
            file.write(f"@2026-12-10 {local}\n")

    def start(state):
        return Probe(arguments, dict(probe_environment, XDG_STATE_HOME=os.path.join(folder, state)))

    server = Mock(bus, environment, NOTIFICATIONS, "/org/freedesktop/Notifications", "notification_daemon",
                  '{"capabilities": "body actions"}')
    logind = Mock(bus, environment, LOGIND, "/org/freedesktop/login1", "logind")

    def shown():
        return [(call[1][3], call[1][4]) for call in server.mock.GetMethodCalls("Notify")]

    def wake():
        logind.mock.EmitSignal(LOGIND + ".Manager", "PrepareForSleep", "b", [False])

    # On time: the program starts 3 s before the reminder and fires it from its timer.
    set_clock("09:44:57")
    probe = start("a")
    probe.looked()
    wait_until(lambda: len(shown()) == 1)
    probe.looked()
    wake()
    probe.looked()
    check("à l'heure, une fois", shown(), [(SUMMARY, BODY)])
    # Snoozed, and the program restarted: nothing until 10 min later, then the reminder again.
    server.mock.EmitSignal(NOTIFICATIONS, "ActionInvoked", "us", [1, "reporter"])
    probe.looked()
    probe.end()
    set_clock("09:45:30")
    probe = start("a")
    probe.looked()
    wake()
    probe.looked()
    check("rien de plus après un redémarrage", len(shown()), 1)
    set_clock("09:56:00")
    wake()
    probe.looked()
    check("reporté de 10 min", shown(), [(SUMMARY, BODY), (SUMMARY, "dans 4 min — Salle B")])
    probe.end()

    # Asleep from 09 h 40 to 10 h 30: the reminder of 09 h 45 is shown once, on waking.
    set_clock("09:30:00")
    probe = start("b")
    probe.looked()
    set_clock("09:40:00")
    logind.mock.EmitSignal(LOGIND + ".Manager", "PrepareForSleep", "b", [True])
    set_clock("10:30:00")
    wake()
    probe.looked()
    wake()
    probe.looked()
    check("manqué pendant la veille, une fois", shown()[2:], [(SUMMARY, "il y a 30 min — Salle B")])
    probe.end()

    # Restarted: nothing again.
    set_clock("10:31:00")
    probe = start("b")
    probe.looked()
    wake()
    probe.looked()
    check("rien après un redémarrage", len(shown()), 3)
    probe.end()
    for mock in [server, logind]:
        mock.stop()


def faketime_library():
    found = glob.glob("/usr/lib/*/faketime/libfaketime.so.1") + glob.glob("/usr/lib/faketime/libfaketime.so.1")
    if not found:
        sys.exit("reminders_bus: libfaketime est absente (paquet faketime)")
    return found[0]


def main():
    with tempfile.TemporaryDirectory(prefix="rappels-", dir=os.getcwd()) as folder:
        agenda = os.path.join(folder, "agenda.ics")
        with open(agenda, "w", encoding="utf-8", newline="") as file:
            file.write(CALENDAR)
        before = hashlib.sha256(open(agenda, "rb").read()).hexdigest()
        with private_bus(folder) as (address, environment):
            probe_environment = dict(environment, TZ="Europe/Paris", HOME=folder, LANG="C.UTF-8",
                                     QT_QPA_PLATFORM="offscreen", LD_PRELOAD=faketime_library(),
                                     FAKETIME_TIMESTAMP_FILE=os.path.join(folder, "horloge"), FAKETIME_NO_CACHE="1",
                                     FAKETIME_DONT_FAKE_MONOTONIC="1")
            run([sys.argv[1], sys.argv[2], agenda], folder, dbus.bus.BusConnection(address), environment,
                probe_environment)
        check("l'agenda n'a pas changé", hashlib.sha256(open(agenda, "rb").read()).hexdigest(), before)
    return report("reminders_bus")


if __name__ == "__main__":
    sys.exit(main())
