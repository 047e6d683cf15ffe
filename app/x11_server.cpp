#include "app/x11_server.h"

#include <xcb/xcb.h>

bool X11ServerAnswers(const std::string& display) {
    // A failed connection is an object too, which says its error and is freed alike.
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}
