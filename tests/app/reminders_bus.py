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
a weekly event at 09 h 00 in Europe/Paris, its reminder 10 min before, fires at
08 h 50 on the clock the week before the change to summer time and the week after;
the contacts' name day and birthdays are wished once, at 09 h 00, and not again after
a restart, as python3-vobject reads the cards and a table gives the day's name;
and the calendars' bytes are the same after all of it.

Usage: reminders_bus.py REMINDER_PROBE PROGRAM_FOLDER FETES
"""

import glob
import hashlib
import os
import subprocess
import sys
import tempfile
import unicodedata

import dbus
import vobject

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
# Mondays 22 and 29 March 2027, either side of the last Sunday of March.
WEEKLY = "\r\n".join([
    "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//essai//rappels//FR",
    "BEGIN:VEVENT", "UID:hebdo@essai", "DTSTAMP:20270301T000000Z",
    "DTSTART;TZID=Europe/Paris:20270322T090000", "DURATION:PT30M", "RRULE:FREQ=WEEKLY;COUNT=3",
    "SUMMARY:Point hebdomadaire",
    "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Rappel", "TRIGGER:-PT10M", "END:VALARM",
    "END:VEVENT", "END:VCALENDAR", ""])
# The cards to wish on 10 December: given names in N or only in FN, folded case and
# accents, a compound name, a near miss, birthdays with and without the year.
CONTACTS = "\r\n".join([
    "BEGIN:VCARD", "VERSION:3.0", "FN:Romaric Dupont", "N:Dupont;Romaric;;;", "END:VCARD",
    "BEGIN:VCARD", "VERSION:3.0", "FN:Dr R. Lévêque", "N:Lévêque;RÔMARIC;;;", "END:VCARD",
    "BEGIN:VCARD", "VERSION:2.1", "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Martin;Jean-Romaric;;;", "END:VCARD",
    "BEGIN:VCARD", "VERSION:4.0", "FN:Romarick Faux", "END:VCARD",
    "BEGIN:VCARD", "VERSION:4.0", "FN:Romaric", "END:VCARD",
    "BEGIN:VCARD", "VERSION:3.0", "FN:Léa Martin", "N:Martin;Léa;;;", "BDAY:1992-12-10", "END:VCARD",
    "BEGIN:VCARD", "VERSION:4.0", "FN:Élodie Roy", "BDAY:--1210", "END:VCARD",
    "BEGIN:VCARD", "VERSION:3.0", "FN:Hugo Petit", "BDAY:1990-12-11", "END:VCARD", ""])
# The name days of the days wished on, as the almanacs give them.
NAME_DAYS = {(12, 10): "Romaric"}


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


class Desktop:
    """The program's clock, its runs, and the services it talks to on the test's bus."""

    def __init__(self, program, folder, bus, environment, probe_environment):
        self.program, self.folder, self.probe_environment = program, folder, probe_environment
        self.server = Mock(bus, environment, NOTIFICATIONS, "/org/freedesktop/Notifications", "notification_daemon",
                           '{"capabilities": "body actions"}')
        self.logind = Mock(bus, environment, LOGIND, "/org/freedesktop/login1", "logind")

    def set_clock(self, local, day="2026-12-10"):
        with open(os.path.join(self.folder, "horloge"), "w", encoding="ascii") as file:
            file.write(f"@{day} {local}\n")

    def start(self, state, arguments):
        return Probe(self.program + arguments,
                     dict(self.probe_environment, XDG_STATE_HOME=os.path.join(self.folder, state)))

    def calls(self):
        return [call[1] for call in self.server.mock.GetMethodCalls("Notify")]

    def shown(self):
        return [(call[3], call[4]) for call in self.calls()]

    def wake(self):
        self.logind.mock.EmitSignal(LOGIND + ".Manager", "PrepareForSleep", "b", [False])

    def stop(self):
        for mock in [self.server, self.logind]:
            mock.stop()


def run(desktop, agenda):
    set_clock, shown, wake, server, logind = (desktop.set_clock, desktop.shown, desktop.wake, desktop.server,
                                              desktop.logind)

    def start(state):
        return desktop.start(state, [agenda])

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


def weekly(desktop, agenda):
    """The reminder of 08 h 50 on the clock, in winter time, then a week later in summer time."""
    before = len(desktop.shown())
    desktop.set_clock("08:49:58", "2027-03-22")
    probe = desktop.start("h", [agenda])
    probe.looked()
    probe.looked()
    wait_until(lambda: len(desktop.shown()) == before + 1)
    # A week asleep, woken 2 s before the next one.
    desktop.set_clock("08:49:58", "2027-03-29")
    desktop.wake()
    probe.looked()
    probe.looked()
    wait_until(lambda: len(desktop.shown()) == before + 2)
    check("hebdomadaire à 08 h 50, en hiver puis en été", desktop.shown()[before:],
          [("09 h 00 Point hebdomadaire", "dans 10 min")] * 2)
    probe.end()


def folded(name):
    return "".join(c for c in unicodedata.normalize("NFKD", name.casefold()) if not unicodedata.combining(c))


def listed(items):
    return items[0] if len(items) == 1 else ", ".join(items[:-1]) + " et " + items[-1]


def wished(cards, month, day, year):
    """The summaries of the day's two notifications, from vobject's reading of the cards."""
    fete, to_wish, born = folded(NAME_DAYS[(month, day)]), [], []
    for card in vobject.readComponents(cards, allowQP=True):
        n = card.n.value if "n" in card.contents else None
        name = card.fn.value if "fn" in card.contents else " ".join(p for p in (n.given, n.family) if p)
        given = folded(n.given if n and n.given else name.split()[0])
        if given == fete or fete in given.replace("-", " ").split():
            to_wish.append("à " + name)
        bday = card.bday.value.replace("-", "") if "bday" in card.contents else ""
        if bday[-4:] == f"{month:02}{day:02}":
            age = f" ({year - int(bday[:4])} ans)" if len(bday) == 8 else ""
            born.append(("d'" if folded(name)[0] in "aeiouy" else "de ") + name + age)
    return ["Bonne fête " + listed(to_wish), "Anniversaire " + listed(born)]


def wishes(desktop, fetes, contacts):
    """The day's wishes at 09 h 00, with only the click among their actions, then never again that day."""
    before = len(desktop.shown())
    desktop.set_clock("08:59:58")
    probe = desktop.start("v", ["--voeux", fetes, contacts])
    probe.looked()
    probe.looked()
    wait_until(lambda: len(desktop.shown()) == before + 2)
    wanted = wished(open(contacts, encoding="utf-8").read(), 12, 10, 2026)
    calls = desktop.calls()[before:]
    check("les vœux du jour", [call[3] for call in calls], wanted)
    check("un clic, rien à reporter", [list(call[5]) for call in calls], [["default", "Ouvrir"]] * 2)
    desktop.wake()
    probe.looked()
    probe.end()
    desktop.set_clock("09:30:00")
    probe = desktop.start("v", ["--voeux", fetes, contacts])
    probe.looked()
    desktop.wake()
    probe.looked()
    check("une fois par jour, même après un redémarrage", len(desktop.shown()), before + 2)
    probe.end()


def faketime_library():
    found = glob.glob("/usr/lib/*/faketime/libfaketime.so.1") + glob.glob("/usr/lib/faketime/libfaketime.so.1")
    if not found:
        sys.exit("reminders_bus: libfaketime est absente (paquet faketime)")
    return found[0]


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def main():
    with tempfile.TemporaryDirectory(prefix="rappels-", dir=os.getcwd()) as folder:
        files = {}
        for name, text in [("agenda.ics", CALENDAR), ("hebdo.ics", WEEKLY), ("contacts.vcf", CONTACTS)]:
            files[name] = os.path.join(folder, name)
            with open(files[name], "w", encoding="utf-8", newline="") as file:
                file.write(text)
        before = {path: digest(path) for path in files.values()}
        with private_bus(folder) as (address, environment):
            probe_environment = dict(environment, TZ="Europe/Paris", HOME=folder, LANG="C.UTF-8",
                                     QT_QPA_PLATFORM="offscreen", LD_PRELOAD=faketime_library(),
                                     FAKETIME_TIMESTAMP_FILE=os.path.join(folder, "horloge"), FAKETIME_NO_CACHE="1",
                                     FAKETIME_DONT_FAKE_MONOTONIC="1")
            desktop = Desktop([sys.argv[1], sys.argv[2]], folder, dbus.bus.BusConnection(address), environment,
                              probe_environment)
            run(desktop, files["agenda.ics"])
            weekly(desktop, files["hebdo.ics"])
            wishes(desktop, sys.argv[3], files["contacts.vcf"])
            desktop.stop()
        check("les agendas n'ont pas changé", {path: digest(path) for path in files.values()}, before)
    return report("reminders_bus")


if __name__ == "__main__":
    sys.exit(main())
