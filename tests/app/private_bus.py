"""A D-Bus bus of a test's own, with python3-dbusmock's templates on it: the session
bus's rules without its service folders, so that a notification server installed on
the machine is never started on it in place of the test's own. It stands for both the
session and the system bus."""

import contextlib
import os
import subprocess
import sys
import time

import dbus

failures = []


def check(what, got, wanted):
    if got != wanted:
        failures.append(f"{what} : {got!r} au lieu de {wanted!r}")


def wait_until(condition):
    # Waited for however loaded the machine is: ctest's time limit ends a hang.
    while not condition():
        time.sleep(0.02)


class Mock:
    """One of python3-dbusmock's templates on the bus, and its mock interface."""

    def __init__(self, bus, environment, name, path, template, parameters="{}"):
        self.bus, self.name = bus, name
        self.process = subprocess.Popen([sys.executable, "-m", "dbusmock", "--template", template,
                                         "-p", parameters], env=environment, stdout=subprocess.DEVNULL)
        wait_until(lambda: bus.name_has_owner(name))
        self.mock = dbus.Interface(bus.get_object(name, path), "org.freedesktop.DBus.Mock")

    def notify_calls(self):
        # dbus-python's values are Python's own types underneath: they compare as such.
        return [list(call[1]) for call in self.mock.GetMethodCalls("Notify")]

    def stop(self):
        self.process.terminate()
        self.process.wait()
        wait_until(lambda: not self.bus.name_has_owner(self.name))


@contextlib.contextmanager
def private_bus(folder):
    """The bus's address, and this process's environment with it as both buses."""
    with open(os.path.join(folder, "bus.conf"), "w") as configuration:
        configuration.write(f"<busconfig><type>session</type><listen>unix:dir={folder}</listen>"
                            '<policy context="default"><allow send_destination="*" eavesdrop="true"/>'
                            '<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>')
    daemon = subprocess.Popen(["dbus-daemon", "--config-file=" + configuration.name, "--nofork",
                               "--print-address=1"], cwd=folder, stdout=subprocess.PIPE, text=True)
    try:
        address = daemon.stdout.readline().strip()
        yield address, dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address, DBUS_SYSTEM_BUS_ADDRESS=address)
    finally:
        daemon.terminate()
        daemon.wait()


def report(name):
    """The failures on the error output; the status to exit with."""
    for failure in failures:
        print(f"{name} : {failure}", file=sys.stderr)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0
