#include "platform/linux/desktop/DBusDesktopNotifier.h"
#include "recording/TemperatureAlertManager.h"

#include "support/AlertTestSupport.h"
#include "support/EventLoop.h"
#include "support/FakeClock.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingNotificationServer.h"

#include <QDBusConnection>
#include <QDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

SensorStats cpuAt(double celsius, std::optional<double> gpu = {}) {
    SensorStats stats;
    stats.cpuTempCelsius = celsius;
    stats.gpuTempCelsius = gpu;
    return stats;
}

// A private bus, one connection for the application and one for the notification server.
class DesktopNotificationBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus_.address().isEmpty()) << bus_.failure().toStdString();
        application_.emplace(openConnection(QStringLiteral("application")));
        serverConnection_.emplace(openConnection(QStringLiteral("server")));
        ASSERT_TRUE(application_->isConnected())
            << application_->lastError().message().toStdString();
        ASSERT_TRUE(serverConnection_->isConnected());
    }

    void TearDown() override {
        server_.reset();
        for (const auto& name : connectionNames_) {
            QDBusConnection::disconnectFromBus(name);
        }
    }

    QDBusConnection openConnection(const QString& role) {
        const QString name = role + QUuid::createUuid().toString(QUuid::WithoutBraces);
        connectionNames_.push_back(name);
        return QDBusConnection::connectToBus(bus_.address(), name);
    }

    void startServer(bool refuses = false) {
        server_ = std::make_unique<RecordingNotificationServer>(*serverConnection_, refuses);
        ASSERT_TRUE(server_->isServing()) << serverConnection_->lastError().message().toStdString();
    }

    // A manager posting through a real notifier on the application's connection; the
    // notifier's answers are counted in `accepted_` and `failed_`.
    std::unique_ptr<TemperatureAlertManager> makeManager(const QDBusConnection& connection) {
        auto notifier = std::make_unique<DBusDesktopNotifier>(connection);
        QObject::connect(notifier.get(), &DBusDesktopNotifier::submissionFinished,
                         [this](bool accepted) { ++(accepted ? accepted_ : failed_); });
        return std::make_unique<TemperatureAlertManager>(clock_, std::move(notifier));
    }

    int answered() const { return accepted_ + failed_; }

    PrivateSessionBus bus_;
    std::vector<QString> connectionNames_;
    std::optional<QDBusConnection> application_;
    std::optional<QDBusConnection> serverConnection_;
    std::unique_ptr<RecordingNotificationServer> server_;
    FakeClock clock_;
    AlertSettings settings_;
    int accepted_ = 0;
    int failed_ = 0;
};

TEST_F(DesktopNotificationBusTest, AlertArrivesWithExactContent) {
    startServer();
    auto manager = makeManager(*application_);

    manager->checkAlerts(cpuAt(95.0), *settings_);
    // Posting returned without waiting: the server, on this thread, has not run yet.
    EXPECT_TRUE(server_->received().empty());
    ASSERT_TRUE(runEventsUntil([&] { return answered() == 1; }));

    EXPECT_EQ(accepted_, 1);
    ASSERT_EQ(server_->received().size(), 1u);
    const ReceivedNotification& got = server_->received().front();
    EXPECT_EQ(got.signature, "susssasa{sv}i");
    EXPECT_EQ(got.appName, "Vantrel");
    EXPECT_EQ(got.replacesId, 0u);  // each alert is a new notification
    EXPECT_EQ(got.appIcon, "dialog-warning");
    EXPECT_EQ(got.summary, "CPU Temperature Alert");
    EXPECT_EQ(got.body, "95.0 °C exceeds 95 °C threshold");
    EXPECT_TRUE(got.actions.isEmpty());
    EXPECT_EQ(got.hints, (QVariantMap{{"sound-name", "message-new-instant"}}));
    EXPECT_EQ(got.expireTimeout, -1);
}

// The desktop cannot show the alert: nothing is thrown, nothing waits, the failure reaches
// no one but the notifier's own signal, and later alerts still go out the same way.
struct UnavailableCase {
    const char* name;
    enum { noServer, refusingServer, noBus } setting;
    std::size_t receivedByServer;
};

TEST_F(DesktopNotificationBusTest, UnavailableDesktopIsSilent) {
    const std::vector<UnavailableCase> cases = {
        {"no notification server on the bus", UnavailableCase::noServer, 0},
        {"a server that refuses", UnavailableCase::refusingServer, 2},
        {"no bus at all", UnavailableCase::noBus, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        accepted_ = failed_ = 0;
        std::optional<QDBusConnection> connection = *application_;
        if (c.setting == UnavailableCase::refusingServer) {
            startServer(true);
        }
        if (c.setting == UnavailableCase::noBus) {
            connection = QDBusConnection::connectToBus(
                QStringLiteral("unix:path=") + QDir::tempPath() + "/vantrel-no-bus-here",
                QStringLiteral("nobus") + QUuid::createUuid().toString(QUuid::WithoutBraces));
            connectionNames_.push_back(connection->name());
            ASSERT_FALSE(connection->isConnected());
        }
        auto manager = makeManager(*connection);

        EXPECT_NO_THROW(manager->checkAlerts(cpuAt(99.0, 99.0), *settings_));
        EXPECT_EQ(answered(), 0) << "posting waited for an answer";
        ASSERT_TRUE(runEventsUntil([&] { return answered() == 2; }));
        EXPECT_EQ(failed_, 2);
        EXPECT_EQ(server_ ? server_->received().size() : 0u, c.receivedByServer);
        server_.reset();
    }
}

}  // namespace
