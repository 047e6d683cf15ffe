#!/usr/bin/python3
"""Prints what a screen reader reads over AT-SPI of a day of the running Solvane's
calendar: the description of the grid's cell named DAY (of the month shown; a day
of a neighbouring month is a later cell of the same name). Exit status 1 when the
program or the cell cannot be found.

With --etat-fenetre instead of DAY, prints "active" or "inactive": whether Solvane's
window is the active one as the program itself knows it, which is what closes a
tooltip when it changes."""

import sys

import pyatspi


def cells(node):
    if node is None:
        return
    if node.getRole() == pyatspi.ROLE_TABLE_CELL:
        yield node
    for child in node:
        yield from cells(child)


def main():
    day = sys.argv[1]
    desktop = pyatspi.Registry.getDesktop(0)
    for application in desktop:
        if application is None or application.name.lower() != "solvane":
            continue
        if day == "--etat-fenetre":
            # The gadget's window is the application's one top-level object (a filler:
            # it has no frame of the window manager's).
            windows = [child for child in application if child is not None]
            if not windows:
                return 1
            active = any(window.getState().contains(pyatspi.STATE_ACTIVE) for window in windows)
            print("active" if active else "inactive")
            return 0
        named = [cell for cell in cells(application) if cell.name == day]
        for cell in named:
            print(cell.description)
            print("--")
        return 0 if named else 1
    return 1


if __name__ == "__main__":
    sys.exit(main())
