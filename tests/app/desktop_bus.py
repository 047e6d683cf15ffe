#!/usr/bin/python3
"""The gadget's notifications and the machine's sleep, as the desktop's services see them:
python3-dbusmock's notification server (none, then one listing « actions », then one
reading markup) and its logind, on a bus of the test's own, without the desktop's
services, that stands for both the session and the system bus. The exact Notify calls
are read from the server. The window's menu says when no server answers, and only then.

Usage: desktop_bus.py BUS_PROBE MENU_PROBE
"""

import os
import subprocess
import sys
import tempfile

import dbus
import dbus.lowlevel

from private_bus import Mock, check, private_bus, report, wait_until

NOTIFICATIONS, LOGIND = "org.freedesktop.Notifications", "org.freedesktop.login1"
SUMMARY, BODY = "14 h 00 Réunion d'équipe", "dans 10 min — Salle B & <co>"
ICON = "/usr/share/icons/hicolor/32x32/apps/solvane.png"
ACTIONS = ["default", "Ouvrir", "reporter", "Reporter de 10 min", "ignorer", "Ignorer"]
NO_SERVER = "Aucun service de notifications : les rappels ne s'affichent pas"


def run(probe, menu, bus, environment):
    def says_no_server():
        menu.stdin.write("menu\n")
        menu.stdin.flush()
        return NO_SERVER in menu.stdout.readline().rstrip("\n").split("|")

    def tell(line):
        probe.stdin.write(line + "\n")
        probe.stdin.flush()

    def heard():
        return probe.stdout.readline().strip()

    def notifications(capabilities):
        return Mock(bus, environment, NOTIFICATIONS, "/org/freedesktop/Notifications", "notification_daemon",
                    '{"capabilities": "%s"}' % capabilities)

    check("sans serveur", heard(), "absent")
    wait_until(says_no_server)
    tell(f"montre perdu|{SUMMARY}|{BODY}|{ICON}")
    server = notifications("body actions")
    check("un serveur venu après le programme", heard(), "disponible body,actions")
    wait_until(lambda: not says_no_server())
    tell(f"montre r1|{SUMMARY}|{BODY}|{ICON}")
    wait_until(server.notify_calls)
    check("Notify avec actions", server.notify_calls(),
          [["Solvane", 0, ICON, SUMMARY, BODY, ACTIONS, {"desktop-entry": "solvane", "image-path": ICON}, -1]])
    # The answers about another program's notice (77) are not the gadget's.
    for signal, arguments in [("ActionInvoked", [77, "reporter"]), ("ActionInvoked", [1, "reporter"]),
                              ("ActionInvoked", [1, "default"]), ("NotificationClosed", [77, 2]),
                              ("NotificationClosed", [1, 2]), ("ActionInvoked", [1, "ignorer"])]:
        server.mock.EmitSignal(NOTIFICATIONS, signal, "us" if signal == "ActionInvoked" else "uu", arguments)
    for wanted in ["action r1 reporter", "action r1 ouvrir", "ferme r1 2"]:
        check("réponses", heard(), wanted)
    server.stop()
    check("une notification fermée ne répond plus, puis le serveur part", heard(), "absent")
    wait_until(says_no_server)

    server = notifications("body body-markup")
    check("un autre serveur", heard(), "disponible body,body-markup")
    tell(f"montre r2|{SUMMARY}|{BODY}|")
    wait_until(server.notify_calls)
    check("Notify sans actions, texte échappé", server.notify_calls(),
          [["Solvane", 0, "", SUMMARY, "dans 10 min — Salle B &amp; &lt;co&gt;", [], {"desktop-entry": "solvane"}, -1]])

    logind = Mock(bus, environment, LOGIND, "/org/freedesktop/login1", "logind")
    fake = dbus.lowlevel.SignalMessage("/org/freedesktop/login1", LOGIND + ".Manager", "PrepareForSleep")
    fake.append(True, signature="b")
    bus.send_message(fake)
    for sleeping in [True, False]:
        logind.mock.EmitSignal(LOGIND + ".Manager", "PrepareForSleep", "b", [sleeping])
    check("la veille de logind seul, puis le réveil", [heard(), heard()], ["veille", "reveil"])
    for each in [probe, menu]:
        each.stdin.write("fin\n")
        each.stdin.flush()
        check("sortie", each.wait(), 0)
    for mock in [server, logind]:
        mock.stop()


def main():
    with tempfile.TemporaryDirectory(prefix="bus-", dir=os.getcwd()) as folder, \
            private_bus(folder) as (address, environment):
        probe = subprocess.Popen([sys.argv[1]], env=environment, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 text=True)
        window = dict(environment, HOME=folder, XDG_CONFIG_HOME=folder, XDG_STATE_HOME=folder, LANG="C.UTF-8",
                      QT_QPA_PLATFORM="offscreen")
        menu = subprocess.Popen([sys.argv[2]], env=window, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                text=True)
        try:
            run(probe, menu, dbus.bus.BusConnection(address), environment)
        finally:
            for each in [probe, menu]:
                if each.poll() is None:
                    each.kill()
    return report("desktop_bus")


if __name__ == "__main__":
    sys.exit(main())
