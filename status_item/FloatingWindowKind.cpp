#include "status_item/FloatingWindowKind.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

Qt::WindowFlags floatingWindowFlags(FloatingWindowKind kind, bool underWaylandCompositor) {
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    if (kind == FloatingWindowKind::strip) {
        flags |= Qt::WindowDoesNotAcceptFocus;
    }
    if (!underWaylandCompositor) {
        return flags | Qt::Tool;
    }
    const Qt::WindowFlags type = kind == FloatingWindowKind::strip ? Qt::Tool : Qt::Window;
    return flags | type | Qt::X11BypassWindowManagerHint;
}

namespace {

bool askXServer() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const char* name = "XWAYLAND";
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        connection,
        xcb_query_extension(connection, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    return present || (waylandDisplay != nullptr && *waylandDisplay != '\0');
}

}  // namespace

bool xServerUnderWaylandCompositor() {
    static const bool answer = askXServer();
    return answer;
}
