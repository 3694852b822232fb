#pragma once

#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

// Desktop notifications through org.freedesktop.Notifications on the session bus, as
// application "Vantrel". Every call is asynchronous, so the poll loop never waits for the
// notification server; a missing bus or server, or a server that refuses, shows nothing and
// reports nothing to the caller.
class DBusDesktopNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    inline static const QString applicationName = QStringLiteral("Vantrel");
    inline static const QString iconName = QStringLiteral("dialog-warning");
    // The notification protocol has no "default sound": many servers stay silent unless a
    // sound is named. The sound theme's name for a newly arrived message comes closest.
    inline static const QString soundName = QStringLiteral("message-new-instant");

    // Uses the user's session bus, connecting at the first notification.
    explicit DBusDesktopNotifier(QObject* parent = nullptr);
    // Uses `bus`, for example a private bus.
    explicit DBusDesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void post(const DesktopNotification& notification) override;

signals:
    // The server took the notification (true), or the bus, the server or the call failed
    // (false). Emitted from the event loop, never from within post(). Nothing in the
    // application depends on it.
    void submissionFinished(bool accepted);

private:
    QDBusConnection& bus();
    void reportLater(bool accepted);

    std::optional<QDBusConnection> bus_;
};
