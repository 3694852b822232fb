#include "status/StandInWatcher.h"

#include <QDBusMessage>
#include <QMutexLocker>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

QStringList StandInWatcherObject::registeredItems() const {
    QMutexLocker lock(&mutex_);
    return items_;
}

bool StandInWatcherObject::open(const QString& busAddress) {
    static std::atomic<int> count = 0;
    connectionName_ = QStringLiteral("stand-in-watcher-%1").arg(++count);
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, connectionName_);
    return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                              QDBusConnection::ExportAllContents) &&
           bus.registerService(watcherService);
}

void StandInWatcherObject::close() {
    QDBusConnection bus(connectionName_);
    bus.unregisterService(watcherService);
    bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    QDBusConnection::disconnectFromBus(connectionName_);
}

void StandInWatcherObject::setHostRegistered(bool registered) {
    hostRegistered_ = registered;
    if (registered) {
        emit StatusNotifierHostRegistered();
    } else {
        emit StatusNotifierHostUnregistered();
    }
}

void StandInWatcherObject::RegisterStatusNotifierItem(const QString& service) {
    const bool byPath = service.startsWith(QLatin1Char('/'));
    const QString owner = byPath ? message().service() : service;
    const QString item = byPath ? owner + service : service;
    if (readsItems_) {
        QDBusMessage read = QDBusMessage::createMethodCall(
            owner, byPath ? service : QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        read << QStringLiteral("org.kde.StatusNotifierItem");
        QDBusConnection(connectionName_).call(read);
    }
    {
        QMutexLocker lock(&mutex_);
        items_.append(item);
    }
    emit StatusNotifierItemRegistered(item);
}

void StandInWatcherObject::RegisterStatusNotifierHost(const QString&) {
    setHostRegistered(true);
}

StandInWatcher::StandInWatcher(const QString& busAddress, bool hostRegistered, bool readsItems)
    : object_(new StandInWatcherObject(hostRegistered, readsItems)) {
    object_->moveToThread(&thread_);
    // Deleted on its own thread, so that its last signal is sent from there.
    QObject::connect(&thread_, &QThread::finished, object_, &QObject::deleteLater);
    thread_.start();
    QMetaObject::invokeMethod(
        object_, [this, busAddress] { ownsName_ = object_->open(busAddress); },
        Qt::BlockingQueuedConnection);
}

StandInWatcher::~StandInWatcher() {
    QMetaObject::invokeMethod(
        object_, [this] { object_->close(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void StandInWatcher::setHostRegistered(bool registered) {
    QMetaObject::invokeMethod(
        object_, [this, registered] { object_->setHostRegistered(registered); },
        Qt::BlockingQueuedConnection);
}
