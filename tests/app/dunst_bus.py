#!/usr/bin/python3
"""A reminder reaches a real notification server: dunst, on a bus of the test's own and
an X server of its own (Xvfb, since dunst draws its notices). The program starts 3 s
before a reminder 15 min ahead of a 10 h 00 event, its clock libfaketime's; the notice
is read back from dunst's history, asked on the bus.

Usage: dunst_bus.py REMINDER_PROBE PROGRAM_FOLDER WINDOW_PROGRAM
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

import dbus

from private_bus import check, private_bus, report, wait_until
from reminders_bus import CALENDAR, Probe, faketime_library


def summaries(bus):
    """The notices dunst has shown, closed first so that its history holds them: asked
    on the bus, as dunstctl asks (its history goes through systemd's busctl, which a
    system without systemd lacks)."""
    control = dbus.Interface(bus.get_object("org.freedesktop.Notifications", "/org/freedesktop/Notifications"),
                             "org.dunstproject.cmd0")
    control.NotificationCloseAll()
    return [(str(notice["summary"]), str(notice["body"])) for notice in control.NotificationListHistory()]


REMINDER = ("10 h 00 Réunion d'équipe", "dans 15 min — Salle B")


def window_reminds(desktop, folder, clock, agenda, bus):
    """The window itself, as the command starts it: its reminders begin once it is
    drawn, and the same reminder, unseen by this state folder, reaches dunst."""
    os.makedirs(os.path.join(folder, "solvane"), exist_ok=True)
    with open(os.path.join(folder, "solvane", "solvane.conf"), "w", encoding="utf-8") as settings:
        settings.write(f"[agendas]\n1\\source={agenda}\nsize=1\n")
    with open(clock, "w", encoding="ascii") as file:
        file.write("@2026-12-10 09:44:57\n")
    runtime = os.path.join(folder, "fenetre")
    os.mkdir(runtime, 0o700)
    window = subprocess.Popen([sys.argv[3]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              env=dict(desktop, TZ="Europe/Paris", XDG_STATE_HOME=runtime, XDG_RUNTIME_DIR=runtime,
                                       LANG="C.UTF-8", QT_QPA_PLATFORM="xcb", LD_PRELOAD=faketime_library(),
                                       FAKETIME_TIMESTAMP_FILE=clock, FAKETIME_NO_CACHE="1",
                                       FAKETIME_DONT_FAKE_MONOTONIC="1"))
    try:
        shown = []

        def second_notice():
            shown[:] = summaries(bus)
            return len(shown) > 1
        wait_until(second_notice)
        check("le rappel de la fenêtre dans l'historique de dunst", shown, [REMINDER, REMINDER])
    finally:
        window.terminate()
        window.wait()


def main():
    for program in ["dunst", "Xvfb"]:
        if not shutil.which(program):
            sys.exit(f"dunst_bus : {program} est absent (paquets dunst et xvfb)")
    with tempfile.TemporaryDirectory(prefix="dunst-", dir=os.getcwd()) as folder, \
            private_bus(folder) as (address, environment):
        agenda = os.path.join(folder, "agenda.ics")
        with open(agenda, "w", encoding="utf-8", newline="") as file:
            file.write(CALENDAR)
        # Xvfb picks a free display and writes its number.
        reading, writing = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(writing), "-nolisten", "tcp", "-screen", "0", "640x480x24"],
                                pass_fds=[writing], stderr=subprocess.DEVNULL)
        os.close(writing)
        with os.fdopen(reading) as display:
            number = display.readline().strip()
        desktop = dict(environment, DISPLAY=":" + number, HOME=folder, XDG_CONFIG_HOME=folder)
        dunst = subprocess.Popen(["dunst"], env=desktop, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            bus = dbus.bus.BusConnection(address)
            wait_until(lambda: bus.name_has_owner("org.freedesktop.Notifications"))
            with open(os.path.join(folder, "horloge"), "w", encoding="ascii") as clock:
                clock.write("@2026-12-10 09:44:57\n")
            probe = Probe([sys.argv[1], sys.argv[2], agenda],
                          dict(environment, TZ="Europe/Paris", HOME=folder, XDG_STATE_HOME=folder, LANG="C.UTF-8",
                               QT_QPA_PLATFORM="offscreen", LD_PRELOAD=faketime_library(),
                               FAKETIME_TIMESTAMP_FILE=clock.name, FAKETIME_NO_CACHE="1",
                               FAKETIME_DONT_FAKE_MONOTONIC="1"))
            probe.looked()
            shown = []
            wait_until(lambda: shown.extend(summaries(bus)) or shown)
            check("le rappel dans l'historique de dunst", shown, [REMINDER])
            probe.end()
            window_reminds(desktop, folder, clock.name, agenda, bus)
        finally:
            for process in [dunst, xvfb]:
                process.terminate()
                process.wait()
    return report("dunst_bus")


if __name__ == "__main__":
    sys.exit(main())
