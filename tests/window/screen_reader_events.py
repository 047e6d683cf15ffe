#!/usr/bin/python3
"""Writes to LOG what a screen reader hears of the running Solvane over AT-SPI, one
event a line, as it comes: the focus moving, a state or the selection changing, a
name changing. Each line holds four fields separated by tabs: the event with its
detail (« object:state-changed:focused 1 »), the role of the object it is about, its
name, and its states between commas (« ,checked,enabled, »), read when the event
comes, before a closing menu takes its entries away. Popup menus are no part of
the application's tree: their entries are heard through these events alone.

A first line « ready » says that the listeners are in place: a program started
after it sends these events from its start."""

import sys

import pyatspi

EVENTS = [
    "focus:",
    "object:state-changed:focused",
    "object:state-changed:checked",
    "object:state-changed:selected",
    "object:selection-changed",
    "object:property-change:accessible-name",
]


def main():
    log = open(sys.argv[1], "w", encoding="utf-8", buffering=1)

    def heard(event):
        try:
            source = event.source
            application = source.getApplication()
            if application is None or application.name.lower() != "solvane":
                return
            role = source.getRoleName()
            # The clock's label is renamed every second, which no screen reader says unasked.
            if event.type.startswith("object:property-change") and role == "label":
                return
            states = [pyatspi.stateToString(state) for state in source.getState().getStates()]
            fields = [f"{event.type} {event.detail1}", role, source.name, ",".join([""] + states + [""])]
        except Exception:  # the object is gone (a closed menu's entry, the program at its end)
            return
        log.write("\t".join(field.replace("\t", " ").replace("\n", " ") for field in fields) + "\n")

    for event in EVENTS:
        pyatspi.Registry.registerEventListener(heard, event)
    log.write("ready\n")
    pyatspi.Registry.start()


if __name__ == "__main__":
    main()
