#include "status/StandInWatcher.h"
#include "status/StatusBusFixture.h"
#include "status_item/picture/StatusGlance.h"
#include "status_item/sni/StatusNotifierItem.h"
#include "status_item/sni/StatusNotifierWatcherTracker.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");

MenuFactory emptyMenu() {
    return [] { return std::make_unique<QMenu>(); };
}

StatusPicture picture(QColor corner, const QString& label) {
    QImage wide(120, 22, QImage::Format_ARGB32);
    wide.fill(Qt::transparent);
    wide.setPixelColor(0, 0, corner);
    QImage glance(22, 22, QImage::Format_ARGB32);
    glance.fill(Qt::darkGreen);
    return {wide, glance, label, QStringLiteral("CPU 100%  RAM 100%"),
            QStringLiteral("CPU ") + label};
}

QImage fileImage(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

class StatusNotifierItemTest : public StatusBusTest {
protected:
    QVariantMap itemProperties(const StatusNotifierItem& item) {
        return properties(item.serviceName(), itemPath, itemInterface);
    }
    bool registeredWith(const StandInWatcher& watcher, const StatusNotifierItem& item) {
        return eventually([&] { return watcher.registeredItems().contains(item.serviceName()); });
    }
};

TEST_F(StatusNotifierItemTest, RegistersWithTheWatcherAndShowsEveryProperty) {
    const StandInWatcher watcher(address(), true);
    ASSERT_TRUE(watcher.ownsName());
    const QString runtime = privateRuntimeDirectory();
    StatusNotifierItem item(newConnection(), emptyMenu(),
                            {runtime, QStringLiteral("/proc"), TrayShapeChoice::Wide});
    const StatusPicture shown = picture(QColor(0x11, 0x22, 0x33), QStringLiteral("12%"));
    item.show(shown);
    ASSERT_TRUE(registeredWith(watcher, item));
    EXPECT_TRUE(item.serviceName().startsWith(
        QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(::getpid())));

    const QVariantMap all = itemProperties(item);
    // Hosts hide a passive item, and show only a menu on clicks for one that is a menu.
    const std::vector<std::pair<const char*, QVariant>> plain{
        {"Status", QStringLiteral("Active")},
        {"ItemIsMenu", false},
        {"XAyatanaLabel", shown.label},
        {"XAyatanaLabelGuide", shown.labelGuide},
    };
    for (const auto& [name, expected] : plain) {
        EXPECT_EQ(all.value(QString::fromLatin1(name)), expected) << name;
    }
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(all.value(QStringLiteral("Menu"))).path(),
              QStringLiteral("/MenuBar"));
    EXPECT_TRUE(
        qdbus_cast<SniIconPixmapList>(all.value(QStringLiteral("OverlayIconPixmap"))).isEmpty());

    const auto pixmaps = qdbus_cast<SniIconPixmapList>(all.value(QStringLiteral("IconPixmap")));
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps[0].width, 120);
    EXPECT_EQ(pixmaps[0].height, 22);
    EXPECT_EQ(pixmaps[0].argb.size(), 120 * 22 * 4);
    EXPECT_EQ(pixmaps[0].argb.left(4), QByteArray("\xff\x11\x22\x33", 4));  // A, R, G, B

    const QString iconName = all.value(QStringLiteral("IconName")).toString();
    EXPECT_TRUE(iconName.startsWith(runtime + QStringLiteral("/vantrel/")))
        << iconName.toStdString();
    EXPECT_EQ(fileImage(iconName), shown.wide);

    const auto toolTip = qdbus_cast<SniToolTip>(all.value(QStringLiteral("ToolTip")));
    EXPECT_EQ(toolTip.title, QStringLiteral("Vantrel"));
    EXPECT_EQ(toolTip.description, shown.toolTip);
}

// On a desktop the host gets the battery entry as a dash, in the label, the tool tip and the
// image file; the file is kept in artefacts/ for a look.
TEST_F(StatusNotifierItemTest, ADesktopsBatteryEntryReachesTheHostAsADash) {
    const StandInWatcher watcher(address(), true);
    StatusNotifierItem item(
        newConnection(), emptyMenu(),
        {privateRuntimeDirectory(), QStringLiteral("/proc"), TrayShapeChoice::Wide});
    CpuStats cpu;
    cpu.overall = 0.12;
    const RamStats ram{};
    const NetworkStats network{};
    const GpuStats gpu{};
    const BatteryStats noBattery{};
    const DiskStats disk{};
    const SensorStats sensors{};
    StatusLook look;
    look.items = {{StatusMetric::cpu, true, MetricDisplayMode::textOnly},
                  {StatusMetric::battery, true, MetricDisplayMode::iconAndText}};
    look.labelColor = Qt::white;
    const StatusItemRenderer renderer(StatusFonts::forDesktop(96));
    item.show(makeStatusPicture(renderer, {cpu, ram, network, gpu, noBattery, disk, sensors},
                                MonitorHistories{}, look, 22, 0, 1));
    ASSERT_TRUE(registeredWith(watcher, item));

    const QVariantMap all = itemProperties(item);
    EXPECT_EQ(all.value(QStringLiteral("XAyatanaLabel")).toString(),
              QStringLiteral("CPU 12%  BAT —"));
    EXPECT_TRUE(qdbus_cast<SniToolTip>(all.value(QStringLiteral("ToolTip")))
                    .description.endsWith(QStringLiteral("BAT —")));
    const QString artefacts = QStringLiteral(VANTREL_STATUS_ARTEFACTS);
    QDir().mkpath(artefacts);
    const QString kept = artefacts + QStringLiteral("/status-item-desktop-battery.png");
    QFile::remove(kept);
    EXPECT_TRUE(QFile::copy(all.value(QStringLiteral("IconName")).toString(), kept));
}

TEST_F(StatusNotifierItemTest, EachNewPictureTakesTheOtherFileAndIsSignalled) {
    const QString runtime = privateRuntimeDirectory();
    BusSignalLog log;
    {
        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {runtime, QStringLiteral("/proc"), TrayShapeChoice::Wide});
        for (const char* member : {"NewIcon", "NewToolTip", "XAyatanaNewLabel"}) {
            listen(itemPath, itemInterface, QString::fromLatin1(member), log);
        }
        const std::vector<StatusPicture> pictures{picture(Qt::red, QStringLiteral("1%")),
                                                  picture(Qt::blue, QStringLiteral("2%")),
                                                  picture(Qt::white, QStringLiteral("3%"))};
        QStringList names;
        for (const StatusPicture& shown : pictures) {
            item.show(shown);
            const QString name = itemProperties(item).value(QStringLiteral("IconName")).toString();
            EXPECT_EQ(fileImage(name), shown.wide);
            names.append(name);
        }
        EXPECT_NE(names[0], names[1]);
        EXPECT_EQ(names[0], names[2]);
        ASSERT_TRUE(eventually([&] { return log.named(QStringLiteral("NewIcon")).size() == 3; }));
        ASSERT_TRUE(
            eventually([&] { return log.named(QStringLiteral("NewToolTip")).size() == 3; }));
        ASSERT_TRUE(
            eventually([&] { return log.named(QStringLiteral("XAyatanaNewLabel")).size() == 3; }));
        EXPECT_EQ(log.named(QStringLiteral("XAyatanaNewLabel")).last().arguments(),
                  QVariantList({pictures[2].label, pictures[2].labelGuide}));
    }
    // Nothing is left behind in the runtime directory.
    EXPECT_FALSE(QDir(runtime + QStringLiteral("/vantrel")).exists());
}

TEST_F(StatusNotifierItemTest, NoFileUnlessTheRuntimeDirectoryIsPrivate) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const auto directory = [&](const char* name, mode_t mode) {
        const QString path = scratch.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QDir().mkpath(path));
        EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        return path;
    };
    QString foreign = QStringLiteral("/root");  // another user's private directory
    if (::geteuid() == 0) {
        foreign = directory("foreign", 0700);
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    }
    const std::vector<std::tuple<const char*, QString, bool>> cases{
        {"private", directory("private", 0700), true},
        {"world-readable", directory("shared", 0755), false},
        {"group-writable", directory("group", 0770), false},
        {"missing", scratch.filePath(QStringLiteral("missing")), false},
        {"unset", QString(), false},
        {"another user's", foreign, false},
    };
    for (const auto& [name, runtime, fileExpected] : cases) {
        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {runtime, QStringLiteral("/proc"), TrayShapeChoice::Wide});
        item.show(picture(Qt::red, QStringLiteral("5%")));
        const QVariantMap all = itemProperties(item);
        EXPECT_EQ(qdbus_cast<SniIconPixmapList>(all.value(QStringLiteral("IconPixmap"))).size(), 1)
            << name;
        EXPECT_EQ(!all.value(QStringLiteral("IconName")).toString().isEmpty(), fileExpected)
            << name;
        if (!fileExpected && !runtime.isEmpty() && runtime != QStringLiteral("/root")) {
            EXPECT_FALSE(QFile::exists(runtime + QStringLiteral("/vantrel"))) << name;
        }
    }
}

TEST_F(StatusNotifierItemTest, SquareGlanceForHostsThatDrawSquareCells) {
    using enum TrayShapeChoice;
    const struct {
        const char* program;
        const char* commandLine;  // the arguments, space-separated
        TrayShapeChoice choice;
        TrayImageShape expected;
    } cases[] = {
        {"plasmashell", "/usr/bin/plasmashell", Automatic, TrayImageShape::Square},
        {"kded5", "kded5", Automatic, TrayImageShape::Square},
        {"wrapper-2.0", "/usr/lib/x86_64-linux-gnu/xfce4/panel/wrapper-2.0 libsystray.so 12",
         Automatic, TrayImageShape::Square},
        {"gnome-shell", "/usr/bin/gnome-shell", Automatic, TrayImageShape::Wide},
        {"waybar", "waybar", Automatic, TrayImageShape::Wide},
        {"plasmashell", "", Wide, TrayImageShape::Wide},
        {"gnome-shell", "", Square, TrayImageShape::Square},
    };
    const StandInWatcher watcher(address(), true);  // runs in this process
    const StatusPicture shown = picture(Qt::red, QStringLiteral("7%"));
    for (const auto& c : cases) {
        QTemporaryDir proc;
        const QString process = proc.filePath(QString::number(::getpid()));
        ASSERT_TRUE(QDir().mkpath(process));
        QFile comm(process + QStringLiteral("/comm"));
        QFile cmdline(process + QStringLiteral("/cmdline"));
        ASSERT_TRUE(comm.open(QIODevice::WriteOnly) && cmdline.open(QIODevice::WriteOnly));
        comm.write(QByteArray(c.program) + '\n');
        for (const QByteArray& argument : QByteArray(c.commandLine).split(' ')) {
            cmdline.write(argument.isEmpty() ? argument : argument + '\0');
        }
        comm.close();
        cmdline.close();

        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {privateRuntimeDirectory(), proc.path(), c.choice});
        item.show(shown);
        ASSERT_TRUE(registeredWith(watcher, item)) << c.program;
        const QImage& expected = c.expected == TrayImageShape::Square ? shown.glance : shown.wide;
        const QVariantMap all = itemProperties(item);
        const auto pixmaps = qdbus_cast<SniIconPixmapList>(all.value(QStringLiteral("IconPixmap")));
        ASSERT_EQ(pixmaps.size(), 1) << c.program;
        EXPECT_EQ(QSize(pixmaps[0].width, pixmaps[0].height), expected.size()) << c.program;
        EXPECT_EQ(fileImage(all.value(QStringLiteral("IconName")).toString()), expected)
            << c.program;
    }
}

// A host's click point is any int; one that cannot be the item's place (off every screen, or
// away from its edges) gives way to the corner of the primary screen (no pointer is known here).
TEST_F(StatusNotifierItemTest, ClickPointsOffTheScreensEdgesGiveWayToTheCorner) {
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner(screen.right(), screen.top());
    const int middleY = screen.center().y();
    StatusNotifierItem item(
        newConnection(), emptyMenu(),
        {privateRuntimeDirectory(), QStringLiteral("/proc"), TrayShapeChoice::Wide});
    QSignalSpy activated(&item, &StatusFace::activated);
    QSignalSpy secondary(&item, &StatusFace::secondaryActivated);
    QSignalSpy menu(&item, &StatusFace::menuRequested);
    const struct {
        const char* method;
        QSignalSpy& spy;
        QPoint sent;
        QPoint expected;
    } cases[] = {
        {"Activate", activated, {most, most}, corner},
        {"Activate", activated, {least, least}, corner},
        {"Activate", activated, {-1, middleY}, corner},
        {"Activate", activated, {screen.center().x(), middleY}, corner},
        {"SecondaryActivate", secondary, {most, least}, corner},
        {"SecondaryActivate", secondary, {screen.right() + 5000, 10}, corner},
        {"ContextMenu", menu, {least, most}, corner},
        {"ContextMenu", menu, {10, screen.bottom()}, {10, screen.bottom()}},
        {"ContextMenu", menu, {20, 30}, {20, 30}},  // by the screen's edge: as sent
    };
    for (const auto& c : cases) {
        c.spy.clear();
        const QDBusMessage reply = call(item.serviceName(), itemPath, itemInterface,
                                        QString::fromLatin1(c.method), {c.sent.x(), c.sent.y()});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << c.method;
        ASSERT_EQ(c.spy.size(), 1) << c.method;
        EXPECT_EQ(c.spy.first().first().toPoint(), c.expected)
            << c.method << " " << c.sent.x() << "," << c.sent.y();
        EXPECT_EQ(item.anchor(), c.expected) << c.method;
    }
}

TEST_F(StatusNotifierItemTest, TrackerFollowsTheHostComingAndGoing) {
    const QDBusConnection bus = newConnection();
    StatusNotifierWatcherTracker tracker(bus);
    QSignalSpy changes(&tracker, &StatusNotifierWatcherTracker::hostPresentChanged);
    EXPECT_FALSE(tracker.hostPresent());
    EXPECT_FALSE(statusNotifierHostPresent(bus));

    auto watcher = std::make_unique<StandInWatcher>(address(), false);
    EXPECT_FALSE(statusNotifierHostPresent(bus));  // a watcher without a host shows nothing
    watcher->setHostRegistered(true);
    ASSERT_TRUE(eventually([&] { return tracker.hostPresent(); }));
    EXPECT_TRUE(statusNotifierHostPresent(bus));
    watcher.reset();
    ASSERT_TRUE(eventually([&] { return !tracker.hostPresent(); }));
    EXPECT_FALSE(statusNotifierHostPresent(bus));
    watcher = std::make_unique<StandInWatcher>(address(), true);
    ASSERT_TRUE(eventually([&] { return tracker.hostPresent(); }));

    QList<bool> seen;
    for (const QList<QVariant>& change : std::as_const(changes)) {
        seen.append(change.first().toBool());
    }
    EXPECT_EQ(seen, QList<bool>({true, false, true}));
}

}  // namespace
