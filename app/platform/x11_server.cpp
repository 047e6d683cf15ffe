#include "app/platform/x11_server.h"

#include "app/platform/display_platform.h"

#include <qguiapplication_platform.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyOf = std::unique_ptr<Reply, FreeReply>;

struct Box {
    int x, y, width, height;
};

Box Intersection(Box a, Box b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const ReplyOf<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The values of a property of the root window, of any type.
template <typename Value>
std::vector<Value> RootProperty(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t property) {
    if (property == XCB_ATOM_NONE) return {};
    const ReplyOf<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, property, XCB_ATOM_ANY, 0, 1 << 16), nullptr));
    if (!reply || reply->format != 8 * sizeof(Value)) return {};
    const auto* values = static_cast<const Value*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / int(sizeof(Value))};
}

// Xft.dpi in the resources that the desktop put on the root window ("Xft.dpi:\t240").
double DesktopScale(xcb_connection_t* connection, xcb_window_t root) {
    const std::vector<char> resources = RootProperty<char>(connection, root, XCB_ATOM_RESOURCE_MANAGER);
    const std::string_view text(resources.data(), resources.size());
    constexpr std::string_view kDpi = "Xft.dpi:";
    for (std::size_t line = 0; line < text.size();) {
        const std::size_t end = std::min(text.find('\n', line), text.size());
        if (text.substr(line, kDpi.size()) == kDpi) {
            const double dpi =
                std::atof(std::string(text.substr(line + kDpi.size(), end - line - kDpi.size())).c_str());
            return dpi > 0 ? dpi / 96.0 : 1.0;
        }
        line = end + 1;
    }
    return 1.0;
}

// Qt's connection while a DisplayLossWatch lives.
xcb_connection_t* watchedConnection = nullptr;

void SayWhenTheDisplayIsLost() {
    if (watchedConnection != nullptr && xcb_connection_has_error(watchedConnection) != 0)
        std::fprintf(stderr, "solvane: %s\n", kDisplayLostSentence);
}

}  // namespace

DisplayLossWatch::DisplayLossWatch() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return;  // another platform
    watchedConnection = x11->connection();
    static const bool registered = std::atexit(SayWhenTheDisplayIsLost) == 0;
    (void)registered;
}

// The application ends after this, and its connection with it.
DisplayLossWatch::~DisplayLossWatch() { watchedConnection = nullptr; }

std::optional<X11Screen> AskX11Screen(const std::string& display) {
    int screenNumber = 0;
    // A failed connection is an object too, which says its error and is freed alike.
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(display.c_str(), &screenNumber), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()) != 0) return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return std::nullopt;
    const xcb_screen_t& screen = *screens.data;

    X11Screen answer;
    answer.depth = screen.root_depth;
    answer.desktopScale = DesktopScale(connection.get(), screen.root);
    // The primary monitor, as Qt makes its primary screen; the whole screen without
    // monitors.
    Box area{0, 0, screen.width_in_pixels, screen.height_in_pixels};
    const ReplyOf<xcb_randr_get_monitors_reply_t> monitors(xcb_randr_get_monitors_reply(
        connection.get(), xcb_randr_get_monitors(connection.get(), screen.root, 1), nullptr));
    if (monitors && monitors->nMonitors > 0) {
        answer.monitors = monitors->nMonitors;
        bool first = true;
        for (auto each = xcb_randr_get_monitors_monitors_iterator(monitors.get()); each.rem > 0;
             xcb_randr_monitor_info_next(&each)) {
            if (each.data->primary || first) area = {each.data->x, each.data->y, each.data->width, each.data->height};
            if (each.data->primary) break;
            first = false;
        }
    }
    // Less the panels, as the window manager says: the work area of the current desktop.
    const std::vector<uint32_t> workAreas =
        RootProperty<uint32_t>(connection.get(), screen.root, Atom(connection.get(), "_NET_WORKAREA"));
    const std::vector<uint32_t> desktop =
        RootProperty<uint32_t>(connection.get(), screen.root, Atom(connection.get(), "_NET_CURRENT_DESKTOP"));
    const std::size_t index = 4 * (desktop.empty() ? 0 : desktop.front());
    if (index + 4 <= workAreas.size()) {
        area = Intersection(area, Box{int(workAreas[index]), int(workAreas[index + 1]), int(workAreas[index + 2]),
                                      int(workAreas[index + 3])});
    }
    answer.availableWidth = area.width;
    answer.availableHeight = area.height;
    return answer;
}
