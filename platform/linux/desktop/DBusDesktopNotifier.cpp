#include "platform/linux/desktop/DBusDesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");
const QString method = QStringLiteral("Notify");

constexpr uint newNotification = 0;  // replaces_id 0: never replaces an earlier one
constexpr int serverDefaultExpiry = -1;

}  // namespace

DBusDesktopNotifier::DBusDesktopNotifier(QObject* parent) : QObject(parent) {}

DBusDesktopNotifier::DBusDesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {}

QDBusConnection& DBusDesktopNotifier::bus() {
    if (!bus_) {
        bus_ = QDBusConnection::sessionBus();
    }
    return *bus_;
}

void DBusDesktopNotifier::post(const DesktopNotification& notification) {
    QDBusConnection& connection = bus();
    if (!connection.isConnected()) {
        reportLater(false);
        return;
    }

    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, method);
    const QVariantMap hints{{QStringLiteral("sound-name"), soundName}};
    call << applicationName << newNotification << iconName << notification.title
         << notification.body << QStringList() << hints << serverDefaultExpiry;

    auto* watcher = new QDBusPendingCallWatcher(connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                emit submissionFinished(!finished->isError());
                finished->deleteLater();
            });
}

void DBusDesktopNotifier::reportLater(bool accepted) {
    QMetaObject::invokeMethod(
        this, [this, accepted] { emit submissionFinished(accepted); }, Qt::QueuedConnection);
}
