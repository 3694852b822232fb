#include "app/faces/WatcherHostProbe.h"
#include "support/PrivateSessionBus.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A stand-in org.kde.StatusNotifierWatcher that answers the host property.
class StandInWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool hostRegistered() const { return host; }
    bool host = true;
};

class WatcherHostProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus_.address().isEmpty()) << bus_.failure().toStdString();
    }

    QDBusConnection connect(const QString& name) {
        return QDBusConnection::connectToBus(bus_.address(), name);
    }

    // The desktop's tray host arrives: its watcher takes the name on a connection of its own.
    void startWatcher(QDBusConnection& connection, StandInWatcher& watcher) {
        ASSERT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
        ASSERT_TRUE(connection.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                              QDBusConnection::ExportAllProperties));
        ASSERT_TRUE(connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    PrivateSessionBus bus_;
};

TEST_F(WatcherHostProbeTest, FollowsTheWatcherComingAndGoing) {
    WatcherHostProbe probe(connect(QStringLiteral("probe")));
    QSignalSpy changes(&probe, &TrayHostProbe::hostChanged);
    EXPECT_FALSE(probe.statusNotifierHostPresent());

    QDBusConnection watcherBus = connect(QStringLiteral("watcher"));
    StandInWatcher watcher;
    startWatcher(watcherBus, watcher);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(probe.statusNotifierHostPresent());

    watcherBus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(probe.statusNotifierHostPresent());

    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
    QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
}

}  // namespace

#include "WatcherHostProbeTest.moc"
