#include "app/platform/window_visibility.h"

#include <xcb/xcb.h>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

WindowVisibility::WindowVisibility(QWidget& window) : window_(window) {
    window_.installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowVisibility::~WindowVisibility() {
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeNativeEventFilter(this);
}

bool WindowVisibility::eventFilter(QObject* watched, QEvent* event) {
    // The native window exists once the widget is about to be shown (and again
    // should it be made anew).
    if (watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)) {
        Watch(window_.windowHandle());
    } else if (watched == watched_ && event->type() == QEvent::Expose) {
        // Qt has already taken the new state when the event reaches its filters.
        Update(watched_->isExposed(), obscured_);
    }
    return false;
}

void WindowVisibility::Watch(QWindow* handle) {
    if (handle == nullptr || handle == watched_) return;
    if (watched_) watched_->removeEventFilter(this);
    watched_ = handle;
    watched_->installEventFilter(this);
    AskForVisibilityNotifications(*watched_);
}

// The event mask of an X window is each client's own, and replaced whole: Qt's mask
// is read back and the visibility changes added to it.
void WindowVisibility::AskForVisibilityNotifications(QWindow& handle) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr) return;
    const auto xWindow = static_cast<xcb_window_t>(handle.winId());
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, xWindow), nullptr);
    if (attributes == nullptr) return;
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    std::free(attributes);
    xcb_change_window_attributes(connection, xWindow, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

bool WindowVisibility::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (watched_ == nullptr || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_VISIBILITY_NOTIFY) return false;
    const auto* visibility = static_cast<const xcb_visibility_notify_event_t*>(message);
    if (visibility->window != static_cast<xcb_window_t>(watched_->winId())) return false;
    Update(exposed_, visibility->state == XCB_VISIBILITY_FULLY_OBSCURED);
    return false;
}

void WindowVisibility::Update(bool exposed, bool obscured) {
    const bool wasSeen = Seen();
    exposed_ = exposed;
    obscured_ = obscured;
    if (Seen() != wasSeen) emit SeenChanged(Seen());
}
