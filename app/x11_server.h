#pragma once

#include <string>

// Whether the X server named by a DISPLAY value accepts a connection, as Qt's X11
// platform will ask it: the connection is opened and closed at once (a few tens of
// microseconds on a local server). A server started without -noreset and with no
// other client resets when this connection closes, which delays Qt's own by the
// time of the reset.
bool X11ServerAnswers(const std::string& display);
