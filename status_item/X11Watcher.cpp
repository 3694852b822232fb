#include "status_item/X11Watcher.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

namespace {

template <typename T>
struct Freed {
    T* reply;
    ~Freed() { std::free(reply); }
};

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.constData()),
        nullptr)};
    return reply.reply ? reply.reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

X11Watcher::X11Watcher(const QByteArray& display, QObject* parent) : QObject(parent) {
    int screenNumber = 0;
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    root_ = screens.data->root;

    // The tray's manager announces itself to the root window; its window's end is its going.
    // The window manager names the active window in a property of the root window.
    const std::uint32_t rootMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &rootMask);
    trayAtom_ = internAtom(connection_, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
    managerAtom_ = internAtom(connection_, "MANAGER");
    activeWindowAtom_ = internAtom(connection_, "_NET_ACTIVE_WINDOW");
    selectRawPresses();
    refreshTrayOwner();
    xcb_flush(connection_);
}

void X11Watcher::startListening() {
    if (!connection_ || notifier_) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                  QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &X11Watcher::readEvents);
    // Events read along with the replies so far wait in the queue, not on the socket.
    QMetaObject::invokeMethod(this, &X11Watcher::readEvents, Qt::QueuedConnection);
}

X11Watcher::~X11Watcher() {
    notifier_.reset();
    if (connection_) {
        xcb_disconnect(connection_);
    }
}

void X11Watcher::selectRawPresses() {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection_, &xcb_input_id);
    if (!extension || !extension->present) {
        return;
    }
    xinputOpcode_ = extension->major_opcode;
    // Raw events reach the root window even while another client holds a grab from 2.1 on.
    Freed<xcb_input_xi_query_version_reply_t> version{xcb_input_xi_query_version_reply(
        connection_, xcb_input_xi_query_version(connection_, 2, 2), nullptr)};
    if (!version.reply || version.reply->major_version < 2) {
        return;
    }
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    xcb_generic_error_t* error = xcb_request_check(
        connection_, xcb_input_xi_select_events_checked(connection_, root_, 1, &selection.head));
    rawPresses_ = error == nullptr;
    std::free(error);
}

void X11Watcher::refreshTrayOwner() {
    Freed<xcb_get_selection_owner_reply_t> reply{xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, trayAtom_), nullptr)};
    const std::uint32_t owner = reply.reply ? reply.reply->owner : 0;
    if (owner != 0) {
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, owner, XCB_CW_EVENT_MASK, &mask);
    }
    if (owner != trayOwner_) {
        trayOwner_ = owner;
        emit xembedTrayChanged();
    }
}

void X11Watcher::readEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_GE_GENERIC) {
            const auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event);
            if (generic->extension == xinputOpcode_ &&
                generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
                const auto button = static_cast<int>(
                    reinterpret_cast<xcb_input_raw_button_press_event_t*>(event)->detail);
                Freed<xcb_query_pointer_reply_t> pointer{xcb_query_pointer_reply(
                    connection_, xcb_query_pointer(connection_, root_), nullptr)};
                if (pointer.reply) {
                    emit buttonPressed(QPoint(pointer.reply->root_x, pointer.reply->root_y),
                                       button);
                }
            }
        } else if (type == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == managerAtom_ && message->data.data32[1] == trayAtom_) {
                refreshTrayOwner();
            }
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change->window == root_ && change->atom == activeWindowAtom_) {
                emit activeWindowChanged();
            }
        } else if (type == XCB_DESTROY_NOTIFY) {
            if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == trayOwner_) {
                refreshTrayOwner();
            }
        }
        std::free(event);
    }
    xcb_flush(connection_);
}
