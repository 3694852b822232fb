#include "app/shell/Shell.h"
#include "status_item/sni/StatusNotifierItem.h"
#include "support/MonitorHarness.h"
#include "support/PrivateSessionBus.h"
#include "views/dashboard/DashboardWindow.h"

#include <QApplication>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString hostConnection = QStringLiteral("stand-in-tray-host");
const QString itemConnection = QStringLiteral("tray-item");

struct LiveCount {
    qsizetype widgets = 0;
    qsizetype objects = 0;  // every window's, the shell's and the item's objects
    bool operator==(const LiveCount&) const = default;
};

void PrintTo(const LiveCount& count, std::ostream* out) {
    *out << count.widgets << " widgets, " << count.objects << " objects";
}

// The shell with its StatusNotifierItem on a private session bus, clicked by a tray host that
// sends its calls as fast as the bus takes them.
class TrayClickMemoryTest : public ::testing::Test {
protected:
    TrayClickMemoryTest() {
        ShellOptions options;
        options.makeStatusNotifierFace = [this](MenuFactory menu) {
            auto made = std::make_unique<StatusNotifierItem>(
                QDBusConnection::connectToBus(bus.address(), itemConnection), std::move(menu),
                StatusNotifierItemOptions{runtime.path(), QStringLiteral("/proc"),
                                          TrayShapeChoice::Wide});
            item = made.get();
            return made;
        };
        options.makeDashboard = [this] {
            return new DashboardWindow(*harness.monitor, harness.settings, harness.clock,
                                       QString());
        };
        shell = std::make_unique<Shell>(harness.settings, *harness.monitor, harness.clock, nullptr,
                                        options);
        shell->setStatusNotifierHostPresent(true);
        shell->applicationDidFinishLaunching();
    }

    ~TrayClickMemoryTest() override {
        shell.reset();
        QDBusConnection::disconnectFromBus(itemConnection);
        QDBusConnection::disconnectFromBus(hostConnection);
    }

    // `rounds` times: the panel opened and closed, the dashboard opened and closed, the menu
    // asked for twice, the exported menu read; every call sent without waiting for an answer
    // (as a busy host may), then the event loop turned until the item has answered one last
    // call after them, and not a turn longer.
    void clickRounds(int rounds) {
        QDBusConnection host = QDBusConnection::connectToBus(bus.address(), hostConnection);
        const auto message = [&](const QString& path, const QString& interface, const char* method,
                                 const QVariantList& arguments) {
            QDBusMessage call = QDBusMessage::createMethodCall(item->serviceName(), path, interface,
                                                               QString::fromLatin1(method));
            call.setArguments(arguments);
            return call;
        };
        const QString sni = QStringLiteral("org.kde.StatusNotifierItem");
        const QString dbusmenu = QStringLiteral("com.canonical.dbusmenu");
        const QString itemPath = QStringLiteral("/StatusNotifierItem");
        const QString menuPath = QStringLiteral("/MenuBar");
        for (int i = 0; i < rounds; ++i) {
            QList<QDBusMessage> round;
            for (const char* method : {"Activate", "Activate", "SecondaryActivate",
                                       "SecondaryActivate", "ContextMenu", "ContextMenu"}) {
                round.append(message(itemPath, sni, method, {640, 10}));
            }
            round.append(message(menuPath, dbusmenu, "AboutToShow", {0}));
            round.append(message(menuPath, dbusmenu, "GetLayout", {0, -1, QStringList()}));
            for (const QDBusMessage& call : round) {
                ASSERT_TRUE(host.send(call));  // sent as a call that wants no answer
            }
        }
        // The item takes its calls in the order they were sent.
        QDBusPendingCallWatcher last(
            host.asyncCall(message(itemPath, sni, "Scroll", {0, QStringLiteral("vertical")})));
        QEventLoop loop;
        QObject::connect(&last, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // only against a hang
        loop.exec();
        ASSERT_TRUE(last.isFinished() && !last.isError()) << last.error().message().toStdString();
    }

    LiveCount live() const {
        LiveCount count{QApplication::allWidgets().size(), 0};
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            count.objects += 1 + window->findChildren<QObject*>().size();
        }
        count.objects += shell->findChildren<QObject*>().size();
        count.objects += item->findChildren<QObject*>().size();
        return count;
    }

    PrivateSessionBus bus;
    QTemporaryDir runtime;
    MonitorHarness harness;
    StatusNotifierItem* item = nullptr;
    std::unique_ptr<Shell> shell;
};

TEST_F(TrayClickMemoryTest, ManyQuickClicksKeepNoMoreThanAFew) {
    ASSERT_FALSE(bus.address().isEmpty()) << bus.failure().toStdString();
    ASSERT_NE(item, nullptr);
    // What is alive is looked at as each click arrives, while the later ones still wait.
    int clicks = 0;
    LiveCount most;
    const auto look = [&] {
        ++clicks;
        const LiveCount now = live();
        most = {std::max(most.widgets, now.widgets), std::max(most.objects, now.objects)};
    };
    QObject::connect(item, &StatusFace::activated, look);
    QObject::connect(item, &StatusFace::secondaryActivated, look);
    QObject::connect(item, &StatusFace::menuRequested, look);
    clickRounds(10);
    ASSERT_FALSE(HasFatalFailure());
    const LiveCount mostAfterFew = most;
    clickRounds(100);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(most, mostAfterFew);
    EXPECT_EQ(clicks, 6 * 110);
    EXPECT_TRUE(shell->windows().compactPanel.isNull());
    EXPECT_TRUE(shell->windows().dashboardWindow.isNull());
    EXPECT_NE(shell->openMenu(), nullptr);  // the last request's menu stays up
}

}  // namespace
