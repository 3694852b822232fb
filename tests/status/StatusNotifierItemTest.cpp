#include "status/StandInWatcher.h"
#include "status/StatusBusFixture.h"
#include "status_item/picture/StatusGlance.h"
#include "status_item/sni/StatusNotifierItem.h"
#include "status_item/sni/StatusNotifierWatcherTracker.h"
#include "support/FakeClock.h"
#include "support/QStringPrinter.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <chrono>
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
    return {wide,
            glance,
            label,
            QStringLiteral("CPU 100%  RAM 100%"),
            QStringLiteral("Vantrel\nCPU ") + label,
            QStringLiteral("CPU ") + label,
            QImage()};
}

QImage fileImage(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

// A /proc tree in which this process (where the stand-in watcher runs) is the named program.
class HostProcessTree {
public:
    HostProcessTree(const char* program, const char* commandLine) {
        const QString process = dir_.filePath(QString::number(::getpid()));
        QDir().mkpath(process);
        QFile comm(process + QStringLiteral("/comm"));
        QFile cmdline(process + QStringLiteral("/cmdline"));
        if (comm.open(QIODevice::WriteOnly) && cmdline.open(QIODevice::WriteOnly)) {
            comm.write(QByteArray(program) + '\n');
            for (const QByteArray& argument : QByteArray(commandLine).split(' ')) {
                cmdline.write(argument.isEmpty() ? argument : argument + '\0');
            }
        }
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

class StatusNotifierItemTest : public StatusBusTest {
protected:
    // waybar keeps a wide image only from a file, so it is sent one.
    const HostProcessTree fileHost{"waybar", "waybar"};

    QVariantMap itemProperties(const StatusNotifierItem& item) {
        return properties(item.serviceName(), itemPath, itemInterface);
    }
    // Registered under its bus name, or by object path from the connection `baseService`.
    bool registeredWith(const StandInWatcher& watcher, const StatusNotifierItem& item,
                        const QString& baseService = {}) {
        return eventually([&] {
            const QStringList items = watcher.registeredItems();
            return items.contains(item.serviceName()) ||
                   (!baseService.isEmpty() && items.contains(baseService + itemPath));
        });
    }
};

TEST_F(StatusNotifierItemTest, RegistersWithTheWatcherAndShowsEveryProperty) {
    const StandInWatcher watcher(address(), true);
    ASSERT_TRUE(watcher.ownsName());
    const QString runtime = privateRuntimeDirectory();
    StatusNotifierItem item(newConnection(), emptyMenu(),
                            {runtime, fileHost.path(), TrayShapeChoice::Wide});
    const StatusPicture shown = picture(QColor(0x11, 0x22, 0x33), QStringLiteral("12%"));
    item.show(shown);
    ASSERT_TRUE(registeredWith(watcher, item));
    ASSERT_TRUE(
        eventually([&] { return item.hostTraits().form == TrayPictureForm::PixmapAndFile; }));
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
    EXPECT_EQ(toolTip.description, shown.toolTipFigures);
}

// On a desktop the host gets the battery entry as a dash, in the label, the tool tip and the
// image file; the file is kept in artefacts/ for a look.
TEST_F(StatusNotifierItemTest, ADesktopsBatteryEntryReachesTheHostAsADash) {
    const StandInWatcher watcher(address(), true);
    StatusNotifierItem item(newConnection(), emptyMenu(),
                            {privateRuntimeDirectory(), fileHost.path(), TrayShapeChoice::Wide});
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
    ASSERT_TRUE(eventually([&] {
        return !itemProperties(item).value(QStringLiteral("IconName")).toString().isEmpty();
    }));

    const QVariantMap all = itemProperties(item);
    EXPECT_EQ(all.value(QStringLiteral("XAyatanaLabel")).toString(),
              QStringLiteral("CPU 12%  BAT —"));
    // The title names the item; the description does not name it again.
    const auto toolTip = qdbus_cast<SniToolTip>(all.value(QStringLiteral("ToolTip")));
    EXPECT_EQ(toolTip.title, QStringLiteral("Vantrel"));
    EXPECT_EQ(toolTip.description, QStringLiteral("CPU 12%  BAT —"));
    const QString artefacts = QStringLiteral(VANTREL_STATUS_ARTEFACTS);
    QDir().mkpath(artefacts);
    const QString kept = artefacts + QStringLiteral("/status-item-desktop-battery.png");
    QFile::remove(kept);
    EXPECT_TRUE(QFile::copy(all.value(QStringLiteral("IconName")).toString(), kept));
}

// Hosts cache icon files by name: a host sent files sees a new name for every picture, the
// one before it kept for a host still reading it, none older; nothing is left at exit.
TEST_F(StatusNotifierItemTest, EachNewPictureGetsAFileNameNeverUsedBefore) {
    const StandInWatcher watcher(address(), true);
    const QString runtime = privateRuntimeDirectory();
    BusSignalLog log;
    {
        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {runtime, fileHost.path(), TrayShapeChoice::Wide});
        ASSERT_TRUE(registeredWith(watcher, item));
        ASSERT_TRUE(
            eventually([&] { return item.hostTraits().form == TrayPictureForm::PixmapAndFile; }));
        for (const char* member : {"NewIcon", "NewToolTip", "XAyatanaNewLabel"}) {
            listen(itemPath, itemInterface, QString::fromLatin1(member), log);
        }
        const std::vector<StatusPicture> pictures{
            picture(Qt::red, QStringLiteral("1%")), picture(Qt::blue, QStringLiteral("2%")),
            picture(Qt::white, QStringLiteral("3%")), picture(Qt::red, QStringLiteral("4%"))};
        QStringList names;
        for (const StatusPicture& shown : pictures) {
            item.show(shown);
            const QString name = itemProperties(item).value(QStringLiteral("IconName")).toString();
            EXPECT_EQ(fileImage(name), shown.wide);
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.append(name);
        }
        const QStringList left = QDir(runtime + QStringLiteral("/vantrel")).entryList(QDir::Files);
        EXPECT_EQ(left.size(), 2) << left.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(QFile::exists(names[3]) && QFile::exists(names[2]));
        ASSERT_TRUE(eventually([&] { return log.named(QStringLiteral("NewIcon")).size() == 4; }));
        ASSERT_TRUE(
            eventually([&] { return log.named(QStringLiteral("NewToolTip")).size() == 4; }));
        ASSERT_TRUE(
            eventually([&] { return log.named(QStringLiteral("XAyatanaNewLabel")).size() == 4; }));
        EXPECT_EQ(log.named(QStringLiteral("XAyatanaNewLabel")).last().arguments(),
                  QVariantList({pictures[3].label, pictures[3].labelGuide}));
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
    const StandInWatcher watcher(address(), true);
    for (const auto& [name, runtime, fileExpected] : cases) {
        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {runtime, fileHost.path(), TrayShapeChoice::Wide});
        ASSERT_TRUE(
            eventually([&] { return item.hostTraits().form == TrayPictureForm::PixmapAndFile; }));
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

// The automatic shape, the picture's form and the label follow the host; the user's choice of
// shape wins.
TEST_F(StatusNotifierItemTest, EachHostGetsTheShapeAndFormItDraws) {
    using enum TrayShapeChoice;
    using enum TrayPictureForm;
    const struct {
        const char* program;
        const char* commandLine;  // the arguments, space-separated
        TrayShapeChoice choice;
        TrayImageShape expected;
        TrayPictureForm form;
        bool byPath;  // registered by object path (GNOME Shell drops some items named by bus)
        bool label = true;
    } cases[] = {
        {"plasmashell", "/usr/bin/plasmashell", Automatic, TrayImageShape::Square, PixmapOnly,
         false},
        {"lxqt-panel", "lxqt-panel", Automatic, TrayImageShape::Square, PixmapOnly, false},
        {"some-tray", "/usr/bin/some-tray", Automatic, TrayImageShape::Square, PixmapOnly, false},
        {"gnome-shell", "/usr/bin/gnome-shell", Automatic, TrayImageShape::Square, PixmapOnly,
         true},
        {"gnome-shell", "", Wide, TrayImageShape::Wide, PixmapOnly, true},
        {"waybar", "waybar", Automatic, TrayImageShape::Wide, PixmapAndFile, false},
        {"notification-ar", "/usr/lib/mate-panel/notification-area-applet", Automatic,
         TrayImageShape::Wide, PixmapOnly, false, false},
        {"plasmashell", "", Wide, TrayImageShape::Wide, PixmapOnly, false},
        {"waybar", "", Square, TrayImageShape::Square, PixmapAndFile, false},
    };
    const StandInWatcher watcher(address(), true);  // runs in this process
    const StatusPicture shown = picture(Qt::red, QStringLiteral("7%"));
    for (const auto& c : cases) {
        const HostProcessTree host(c.program, c.commandLine);
        const QDBusConnection bus = newConnection();
        StatusNotifierItem item(bus, emptyMenu(),
                                {privateRuntimeDirectory(), host.path(), c.choice});
        item.show(shown);
        ASSERT_TRUE(registeredWith(watcher, item, bus.baseService())) << c.program;
        ASSERT_TRUE(eventually([&] {
            return item.hostTraits().form == c.form && item.hostTraits().label == c.label;
        })) << c.program;
        EXPECT_TRUE(eventually([&] {
            return watcher.registeredItems().contains(bus.baseService() + itemPath) == c.byPath;
        })) << c.program;
        const QImage& expected = c.expected == TrayImageShape::Square ? shown.glance : shown.wide;
        const QVariantMap all = itemProperties(item);
        const auto pixmaps = qdbus_cast<SniIconPixmapList>(all.value(QStringLiteral("IconPixmap")));
        ASSERT_EQ(pixmaps.size(), 1) << c.program;
        EXPECT_EQ(QSize(pixmaps[0].width, pixmaps[0].height), expected.size()) << c.program;
        EXPECT_EQ(all.value(QStringLiteral("XAyatanaLabel")).toString(),
                  c.label ? shown.label : QString())
            << c.program;
        const QString iconName = all.value(QStringLiteral("IconName")).toString();
        if (c.form == PixmapOnly) {
            EXPECT_EQ(iconName, QString()) << c.program;  // a cached name would freeze it
        } else {
            EXPECT_EQ(fileImage(iconName), expected) << c.program;
        }
    }
}

// A host that restarts brings a new watcher: it hears of the item exactly once.
TEST_F(StatusNotifierItemTest, EachWatcherHearsOfTheItemOnce) {
    auto watcher = std::make_unique<StandInWatcher>(address(), true);
    StatusNotifierItem item(
        newConnection(), emptyMenu(),
        {privateRuntimeDirectory(), QStringLiteral("/proc"), TrayShapeChoice::Automatic});
    for (int restart = 0; restart < 3; ++restart) {
        ASSERT_TRUE(registeredWith(*watcher, item)) << restart;
        // A round trip to the item: a second registration sent before it would have arrived.
        itemProperties(item);
        EXPECT_EQ(watcher->registeredItems(), QStringList{item.serviceName()}) << restart;
        watcher.reset();
        watcher = std::make_unique<StandInWatcher>(address(), true);
    }
}

// A host that takes the registration but never reads the item shows nothing: the item says so
// (the shell shows the strip meanwhile) and registers again, until the host reads it.
TEST_F(StatusNotifierItemTest, RegistersAgainWhileTheHostHasNotReadIt) {
    const struct {
        const char* host;
        bool hostReads;
        qsizetype registrations;  // after the first wait
        std::size_t waits;        // still to come
        QList<bool> seenChanges;
    } cases[] = {
        {"reads the item", true, 1, 0, {}},
        {"never reads it", false, 2, 1, {false}},
    };
    for (const auto& c : cases) {
        const StandInWatcher watcher(address(), true, c.hostReads);
        FakeClock clock;
        StatusNotifierItem item(newConnection(), emptyMenu(),
                                {privateRuntimeDirectory(), QStringLiteral("/proc"),
                                 TrayShapeChoice::Wide, &clock, std::chrono::seconds(5)});
        QSignalSpy seenChanges(&item, &StatusFace::seenChanged);
        ASSERT_TRUE(registeredWith(watcher, item)) << c.host;
        ASSERT_TRUE(eventually([&] { return clock.pendingCallbacks() == 1; })) << c.host;
        clock.advance(std::chrono::seconds(5));
        ASSERT_TRUE(eventually([&] { return clock.pendingCallbacks() == c.waits; })) << c.host;
        EXPECT_EQ(watcher.registeredItems().count(item.serviceName()), c.registrations) << c.host;
        QList<bool> seen;
        for (const QList<QVariant>& change : std::as_const(seenChanges)) {
            seen.append(change.first().toBool());
        }
        EXPECT_EQ(seen, c.seenChanges) << c.host;
        EXPECT_EQ(item.seen(), c.hostReads) << c.host;

        itemProperties(item);  // read at last: seen, and the strip may go
        EXPECT_TRUE(item.seen()) << c.host;
        EXPECT_EQ(seenChanges.size(), c.seenChanges.size() * 2) << c.host;
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
    StatusNotifierWatcherTracker tracker(bus, std::chrono::milliseconds(0));
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

// A host that restarts within the grace time never counts as gone; one that stays away does.
TEST_F(StatusNotifierItemTest, TrackerWaitsOutAHostsRestart) {
    const QDBusConnection bus = newConnection();
    auto watcher = std::make_unique<StandInWatcher>(address(), true);
    StatusNotifierWatcherTracker patient(bus, std::chrono::hours(1));
    StatusNotifierWatcherTracker brief(bus, std::chrono::milliseconds(1));
    ASSERT_TRUE(patient.hostPresent() && brief.hostPresent());
    QSignalSpy patientChanges(&patient, &StatusNotifierWatcherTracker::hostPresentChanged);

    watcher.reset();
    ASSERT_TRUE(eventually([&] { return patient.awaitingHost() && !brief.hostPresent(); }));
    EXPECT_TRUE(patient.hostPresent());
    watcher = std::make_unique<StandInWatcher>(address(), false);  // back, its host not yet
    watcher->setHostRegistered(true);
    ASSERT_TRUE(eventually([&] { return !patient.awaitingHost() && brief.hostPresent(); }));
    EXPECT_TRUE(patient.hostPresent());
    EXPECT_TRUE(patientChanges.isEmpty());
}

}  // namespace
