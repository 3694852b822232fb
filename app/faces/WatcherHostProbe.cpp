#include "app/faces/WatcherHostProbe.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
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
    bool present = false;
    if (bus_.isConnected() && bus_.interface()->isServiceRegistered(watcherService)) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
        const QDBusReply<QDBusVariant> reply = bus_.call(get, QDBus::Block, 1000);
        present = reply.isValid() && reply.value().variant().toBool();
    }
    if (present != present_) {
        present_ = present;
        emit hostChanged();
    }
}
