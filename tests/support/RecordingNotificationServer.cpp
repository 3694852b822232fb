#include "support/RecordingNotificationServer.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
}  // namespace

RecordingNotificationServer::RecordingNotificationServer(QDBusConnection bus, bool refuses)
    : bus_(std::move(bus)), refuses_(refuses) {
    serving_ = bus_.registerObject(objectPath, this, QDBusConnection::ExportAllSlots) &&
               bus_.registerService(serviceName);
}

RecordingNotificationServer::~RecordingNotificationServer() {
    bus_.unregisterService(serviceName);
    bus_.unregisterObject(objectPath);
}

uint RecordingNotificationServer::Notify(const QString& appName, uint replacesId,
                                         const QString& appIcon, const QString& summary,
                                         const QString& body, const QStringList& actions,
                                         const QVariantMap& hints, int expireTimeout) {
    received_.push_back({message().signature(), appName, replacesId, appIcon, summary, body,
                         actions, hints, expireTimeout});
    if (refuses_) {
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("notifications are off"));
        return 0;
    }
    return ++lastId_;
}
