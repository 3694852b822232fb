#include "support/PrivateSessionBus.h"
#include "support/QStringPrinter.h"
#include "views/desktop/RevealFile.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;

// Takes the file manager's place on the bus and notes what it was asked to show.
class StandInFileManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    void ShowItems(const QStringList& uris, const QString&) { shown += uris; }
};

// Notes the folders opened through the desktop's URL handling.
class OpenedUrls final : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

bool runUntil(const std::function<bool()>& done) {
    QDeadlineTimer hangGuard(10s);  // only keeps a broken test from hanging
    while (!done() && !hangGuard.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

TEST(RevealFile, SelectsTheFileThroughTheFileManagerElseOpensItsFolder) {
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << bus.failure().toStdString();
    QDBusConnection program = QDBusConnection::connectToBus(bus.address(), "reveal-program");
    QDBusConnection manager = QDBusConnection::connectToBus(bus.address(), "reveal-manager");
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");

    revealInFileManager(QStringLiteral("/tmp/reports/report.pdf"), program);
    EXPECT_TRUE(runUntil([&] { return !opened.urls.isEmpty(); }));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/reports"))});

    StandInFileManager fileManager;
    ASSERT_TRUE(manager.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                       &fileManager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(manager.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    revealInFileManager(QStringLiteral("/tmp/reports/report.pdf"), program);
    EXPECT_TRUE(runUntil([&] { return !fileManager.shown.isEmpty(); }));
    EXPECT_EQ(fileManager.shown, QStringList{QStringLiteral("file:///tmp/reports/report.pdf")});
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.urls.size(), 1);  // no folder opened besides

    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDBusConnection::disconnectFromBus(QStringLiteral("reveal-program"));
    QDBusConnection::disconnectFromBus(QStringLiteral("reveal-manager"));
}

}  // namespace

#include "RevealFileTest.moc"
