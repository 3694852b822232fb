#pragma once

#include "app/faces/TrayHostProbe.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

// Asks the session's org.kde.StatusNotifierWatcher whether a host is registered, again when
// the watcher's owner changes or it announces a host.
class WatcherHostProbe final : public TrayHostProbe {
    Q_OBJECT
public:
    explicit WatcherHostProbe(QDBusConnection bus, QObject* parent = nullptr);
    bool statusNotifierHostPresent() const override { return present_; }

private slots:
    void refresh();

private:
    void apply(bool present);

    QDBusConnection bus_;
    QDBusServiceWatcher ownerWatch_;
    bool present_ = false;
};
