#pragma once
// Starting the gadget with the desktop session, after the XDG Autostart convention:
// an entry solvane.desktop in $XDG_CONFIG_HOME/autostart, written only when the
// user asks, removed only when it is the one the gadget wrote.

#include <QString>

// $XDG_CONFIG_HOME/autostart/solvane.desktop, or ~/.config/autostart/solvane.desktop;
// empty when neither variable is set.
QString AutostartFilePath();

// The command line that starts `program`: `solvane` when that is the installed
// command leading to it, its own path otherwise (a build's program), quoted as the
// Desktop Entry rules of Exec ask.
QString AutostartCommand(const QString& program);

// The whole entry the gadget writes for `program`: that command line in Exec, and the
// program it starts in TryExec.
QByteArray AutostartEntry(const QString& program);

// Whether the session starts the gadget: an entry is there, and not hidden
// (Hidden=true is the user's way of turning an entry off). Read from the disk at
// each call.
bool AutostartIsOn(const QString& path);

// Writes the entry for `program`, replacing a hidden one, whole or not at all.
// Removes it, but only the entry the gadget wrote; a user's own stays. True when the
// disk then says what was asked.
bool SetAutostart(const QString& path, bool on, const QString& program);

// When the user has turned autostart on and the entry is the gadget's own, but for
// another program (the gadget was moved, or installed after a build's run), writes
// it again for `program`. False when that write failed.
bool RenewAutostart(const QString& path, const QString& program);
