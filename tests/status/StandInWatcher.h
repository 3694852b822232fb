#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>

#include <atomic>

// The watcher side of a tray host, as the bus sees it.
class StandInWatcherObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    StandInWatcherObject(bool hostRegistered, bool readsItems)
        : hostRegistered_(hostRegistered), readsItems_(readsItems) {}

    QStringList registeredItems() const;
    bool hostRegistered() const { return hostRegistered_; }
    int protocolVersion() const { return 0; }

    bool open(const QString& busAddress);
    void close();
    void setHostRegistered(bool registered);

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

private:
    mutable QMutex mutex_;
    QStringList items_;
    std::atomic<bool> hostRegistered_;
    const bool readsItems_;
    QString connectionName_;
};

// A stand-in tray host's watcher on a thread of its own, so that the blocking calls of the code
// under test get their answers. It owns org.kde.StatusNotifierWatcher while it lives. An item
// registered by object path is listed as "<sender><path>". With `readsItems`, it reads every
// item's properties as it registers, as a host that shows it does; else it never reads them.
class StandInWatcher {
public:
    StandInWatcher(const QString& busAddress, bool hostRegistered, bool readsItems = false);
    ~StandInWatcher();
    StandInWatcher(const StandInWatcher&) = delete;
    StandInWatcher& operator=(const StandInWatcher&) = delete;

    bool ownsName() const { return ownsName_; }
    QStringList registeredItems() const { return object_->registeredItems(); }
    void setHostRegistered(bool registered);

private:
    QThread thread_;
    StandInWatcherObject* object_;
    bool ownsName_ = false;
};
