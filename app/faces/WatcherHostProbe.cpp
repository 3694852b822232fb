#include "app/faces/WatcherHostProbe.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

}  // namespace

WatcherHostProbe::WatcherHostProbe(QDBusConnection bus, QObject* parent)
    : TrayHostProbe(parent),
      bus_(bus),
      ownerWatch_(watcherService, bus, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&ownerWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &WatcherHostProbe::refresh);
    bus_.connect(watcherService, watcherPath, watcherService,
                 QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(refresh()));
    bus_.connect(watcherService, watcherPath, watcherService,
                 QStringLiteral("StatusNotifierHostUnregistered"), this, SLOT(refresh()));
    refresh();
}

void WatcherHostProbe::refresh() {
    if (!bus_.isConnected() || !bus_.interface()->isServiceRegistered(watcherService)) {
        apply(false);
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    // Asked without waiting: the main thread never blocks on another program.
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get, 2000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        const QDBusPendingReply<QDBusVariant> reply = *pending;
        apply(reply.isValid() && reply.value().variant().toBool());
        pending->deleteLater();
    });
}

void WatcherHostProbe::apply(bool present) {
    if (present != present_) {
        present_ = present;
        emit hostChanged();
    }
}
