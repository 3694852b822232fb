#include "status_item/TrayHostKind.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const TrayHostTraits& traits, std::ostream* out) {
    *out << (traits.shape == TrayImageShape::Wide ? "wide" : "square") << " at "
         << traits.iconHeight << " px, "
         << (traits.form == TrayPictureForm::PixmapOnly ? "pixmap only" : "pixmap and file")
         << (traits.menuShortcuts ? ", shortcuts" : ", no shortcuts")
         << (traits.registerByPath ? ", by path" : "") << (traits.label ? ", label" : ", no label");
}

namespace {

// Writes `<root>/<pid>/comm` and `cmdline` as the kernel shows them: the name cut at 15 bytes
// with a newline, the arguments each ended by a NUL.
void writeProcess(const QString& root, int pid, const QByteArray& comm,
                  const QByteArrayList& arguments) {
    const QString folder = root + QLatin1Char('/') + QString::number(pid);
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile name(folder + QStringLiteral("/comm"));
    QFile cmdline(folder + QStringLiteral("/cmdline"));
    ASSERT_TRUE(name.open(QIODevice::WriteOnly) && cmdline.open(QIODevice::WriteOnly));
    name.write(comm.left(15) + '\n');
    for (const QByteArray& argument : arguments) {
        cmdline.write(argument + '\0');
    }
}

TEST(TrayHostKindTest, EachKnownHostGetsItsOwnTraitsEveryOtherTheSquareGlance) {
    using enum TrayImageShape;
    using enum TrayPictureForm;
    const TrayHostTraits square{Square, 22, PixmapOnly, true, false, true};
    const TrayHostTraits mate{Wide, 25, PixmapOnly, true, false, false};
    const struct {
        QByteArray comm;
        QByteArrayList arguments;
        TrayHostTraits expected;
    } cases[] = {
        {"waybar", {"waybar"}, {Wide, 18, PixmapAndFile, false}},
        {"swaybar", {"swaybar", "-b", "bar-0"}, {Wide, 16, PixmapAndFile, true}},
        // GNOME Shell draws a 16 px square and fails on wide files; registered by path.
        {"gnome-shell", {"/usr/bin/gnome-shell"}, {Square, 16, PixmapOnly, true, true}},
        // A wrapper that renames the process keeps the program's path.
        {".waybar-wrapped",
         {"/nix/store/abc-waybar-0.9/bin/waybar"},
         {Wide, 18, PixmapAndFile, false}},
        {"stand-in-tray",
         {"/usr/bin/python3", "stand_in_tray_host.py"},
         {Wide, 24, PixmapAndFile, true}},
        {"plasmashell", {"/usr/bin/plasmashell", "--no-respawn"}, square},
        {"kded5", {"kded5"}, square},
        {"kded6", {"/usr/bin/kded6"}, square},
        {"lxqt-panel", {"lxqt-panel"}, square},
        {"mate-panel", {"mate-panel"}, mate},
        // The kernel keeps "notification-ar" of the applet's name; its path names it whole.
        {"notification-area-applet", {"/usr/lib/mate-panel/notification-area-applet"}, mate},
        {"xfce4-panel", {"xfce4-panel", "--display", ":0"}, square},
        {"wrapper-2.0",
         {"/usr/lib/x86_64-linux-gnu/xfce4/panel/wrapper-2.0",
          "/usr/lib/x86_64-linux-gnu/xfce4/panel/plugins/libsystray.so", "12", "systray"},
         square},
        {"python3", {"/usr/bin/python3", "/opt/tray/host.py"}, square},
        {"waybar-helper", {"/usr/bin/waybar-helper"}, square},  // a name that only starts alike
    };
    QTemporaryDir proc;
    ASSERT_TRUE(proc.isValid());
    int pid = 100;
    for (const auto& c : cases) {
        writeProcess(proc.path(), ++pid, c.comm, c.arguments);
        const std::optional<TrayHostProcess> host = readTrayHostProcess(pid, proc.path());
        ASSERT_TRUE(host.has_value()) << c.comm.constData();
        EXPECT_EQ(trayHostTraits(host), c.expected) << c.comm.constData();
    }
    // The process has gone between the question and the read.
    EXPECT_FALSE(readTrayHostProcess(99, proc.path()).has_value());
    EXPECT_EQ(trayHostTraits(std::nullopt), square);
}

}  // namespace
