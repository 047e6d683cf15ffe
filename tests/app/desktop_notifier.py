#!/usr/bin/python3
"""The gadget's notifications, as a notification server receives them.

On a session bus of its own (dbus-daemon in a folder of the test), the probe drives
DesktopNotifier against python3-dbusmock's notification server: first none at all,
then one that lists « actions », then one that reads markup and lists none. The
test reads the exact Notify calls the server got, sends it the user's answers
(ActionInvoked, NotificationClosed), and reads what the probe heard of them.

Usage: desktop_notifier.py NOTIFIER_PROBE
"""

import os
import subprocess
import sys
import tempfile
import time

import dbus

SERVICE = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
SUMMARY = "14 h 00 Réunion d'équipe"
BODY = "dans 10 min — Salle B & <co>"
ICON = "/usr/share/icons/hicolor/32x32/apps/solvane.png"
ACTIONS = ["default", "Ouvrir", "reporter", "Reporter de 10 min", "ignorer", "Ignorer"]
HINTS = {"desktop-entry": "solvane", "image-path": ICON}
failures = []


def check(what, got, wanted):
    if got != wanted:
        failures.append(f"{what} : {got!r} au lieu de {wanted!r}")


def wait_until(condition):
    # The condition is waited for, however loaded the machine: ctest's time limit ends a hang.
    while not condition():
        time.sleep(0.02)


def plain(value):
    """A D-Bus value as Python's own, to compare."""
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.String):
        return str(value)
    if isinstance(value, (dbus.UInt32, dbus.Int32, dbus.Byte)):
        return int(value)
    return value


class Server:
    """python3-dbusmock's notification server with the given capabilities."""

    def __init__(self, bus, environment, capabilities):
        self.process = subprocess.Popen(
            [sys.executable, "-m", "dbusmock", "--template", "notification_daemon", "-p",
             '{"capabilities": "%s"}' % capabilities],
            env=environment, stdout=subprocess.DEVNULL)
        wait_until(lambda: bus.name_has_owner(SERVICE))
        self.mock = dbus.Interface(bus.get_object(SERVICE, PATH), "org.freedesktop.DBus.Mock")

    def notify_calls(self):
        return [plain(call[1]) for call in self.mock.GetMethodCalls("Notify")]

    def emit(self, name, signature, arguments):
        self.mock.EmitSignal(SERVICE, name, signature, arguments)

    def stop(self, bus):
        self.process.terminate()
        self.process.wait()
        wait_until(lambda: not bus.name_has_owner(SERVICE))


def main():
    probe_program = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="notifications-", dir=os.getcwd()) as folder:
        daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                  cwd=folder, stdout=subprocess.PIPE, text=True)
        address = daemon.stdout.readline().strip()
        environment = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address)
        bus = dbus.bus.BusConnection(address)
        probe = subprocess.Popen([probe_program], env=environment, stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, text=True, bufsize=1)

        def tell(line):
            probe.stdin.write(line + "\n")
            probe.stdin.flush()

        def heard():
            return probe.stdout.readline().strip()

        try:
            # No server: the probe hears so at once, and a notice is dropped.
            check("sans serveur", heard(), "absent")
            tell(f"montre perdu|{SUMMARY}|{BODY}|{ICON}")

            # A server that offers actions, started after the gadget.
            server = Server(bus, environment, "body actions")
            check("un serveur qui vient", heard(), "disponible body,actions")
            tell(f"montre r1|{SUMMARY}|{BODY}|{ICON}")
            wait_until(lambda: server.notify_calls())
            check("Notify avec actions", server.notify_calls(),
                  [["Solvane", 0, ICON, SUMMARY, BODY, ACTIONS, HINTS, -1]])
            # The answers to another program's notice are not the gadget's.
            server.emit("ActionInvoked", "us", [77, "reporter"])
            server.emit("ActionInvoked", "us", [1, "reporter"])
            check("reporter", heard(), "action r1 reporter")
            server.emit("ActionInvoked", "us", [1, "default"])
            check("le clic", heard(), "action r1 ouvrir")
            server.emit("NotificationClosed", "uu", [77, 2])
            server.emit("NotificationClosed", "uu", [1, 2])
            check("fermée", heard(), "ferme r1 2")
            server.emit("ActionInvoked", "us", [1, "ignorer"])
            server.stop(bus)
            check("une notification fermée ne répond plus, puis le serveur part", heard(), "absent")

            # A server that reads markup and offers no action: the body is escaped
            # so that it shows as written, and no action is offered.
            server = Server(bus, environment, "body body-markup")
            check("un autre serveur", heard(), "disponible body,body-markup")
            tell(f"montre r2|{SUMMARY}|{BODY}|")
            wait_until(lambda: server.notify_calls())
            check("Notify sans actions", server.notify_calls(),
                  [["Solvane", 0, "", SUMMARY, "dans 10 min — Salle B &amp; &lt;co&gt;", [],
                    {"desktop-entry": "solvane"}, -1]])
            tell("fin")
            check("sortie", probe.wait(), 0)
            server.stop(bus)
        finally:
            if probe.poll() is None:
                probe.kill()
            daemon.terminate()
            daemon.wait()
    for failure in failures:
        print("desktop_notifier : " + failure, file=sys.stderr)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
