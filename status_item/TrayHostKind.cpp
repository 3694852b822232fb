#include "status_item/TrayHostKind.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

constexpr qint64 procFileLimit = 64 * 1024;

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(procFileLimit);
}

struct KnownHost {
    QLatin1StringView program;
    TrayHostTraits traits;
};

// The hosts the status item knows. Those that read a file cache it by name, so the file is
// named anew for every picture; the heights are the hosts' default icon sizes.
constexpr std::array<KnownHost, 6> knownHosts{{
    {QLatin1StringView("waybar"),
     {TrayImageShape::Wide, 18, TrayPictureForm::PixmapAndFile, false, false}},
    {QLatin1StringView("swaybar"),
     {TrayImageShape::Wide, 16, TrayPictureForm::PixmapAndFile, true, false}},
    // GNOME Shell's AppIndicator extension draws every item in a 16 px square: a file more than
    // half again as wide as tall fails to load there (it then shows a placeholder, never the
    // pixmap), and a wide pixmap is squeezed. The glance as a pixmap is drawn afresh each time.
    {QLatin1StringView("gnome-shell"),
     {TrayImageShape::Square, 16, TrayPictureForm::PixmapOnly, true, true}},
    // MATE's notification area keeps a wide pixmap wide, scaled to its cell's height (25 px on
    // the default top panel); the label would repeat the picture's figures beside it. The area
    // runs in its applet's process, or in the panel's own where the applet is built in.
    {QLatin1StringView("notification-area-applet"),
     {TrayImageShape::Wide, 25, TrayPictureForm::PixmapOnly, true, false, false}},
    {QLatin1StringView("mate-panel"),
     {TrayImageShape::Wide, 25, TrayPictureForm::PixmapOnly, true, false, false}},
    // The whole-program test's stand-in host, which keeps every image as it is sent.
    {QLatin1StringView("stand-in-tray"),
     {TrayImageShape::Wide, 24, TrayPictureForm::PixmapAndFile, true, false}},
}};

std::optional<TrayHostTraits> knownTraits(const QString& program) {
    for (const KnownHost& host : knownHosts) {
        if (program == host.program) {
            return host.traits;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<TrayHostProcess> readTrayHostProcess(quint32 pid, const QString& procRoot) {
    const QString base = procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/');
    const std::optional<QByteArray> comm = readSmallFile(base + QStringLiteral("comm"));
    if (!comm) {
        return std::nullopt;
    }
    TrayHostProcess host;
    host.name = QString::fromLocal8Bit(comm->trimmed());
    if (const std::optional<QByteArray> cmdline = readSmallFile(base + QStringLiteral("cmdline"))) {
        for (const QByteArray& argument : cmdline->split('\0')) {
            if (!argument.isEmpty()) {
                host.arguments.append(QString::fromLocal8Bit(argument));
            }
        }
    }
    return host;
}

TrayHostTraits trayHostTraits(const std::optional<TrayHostProcess>& host) {
    if (!host) {
        return {};
    }
    if (const auto traits = knownTraits(host->name)) {
        return *traits;
    }
    // The kernel cuts a process name at 15 bytes; the program's path is whole.
    if (!host->arguments.isEmpty()) {
        if (const auto traits = knownTraits(QFileInfo(host->arguments.first()).fileName())) {
            return *traits;
        }
    }
    return {};
}

TrayImageShape chooseImageShape(TrayShapeChoice choice, TrayImageShape hostShape) {
    switch (choice) {
        case TrayShapeChoice::Wide:
            return TrayImageShape::Wide;
        case TrayShapeChoice::Square:
            return TrayImageShape::Square;
        case TrayShapeChoice::Automatic:
            break;
    }
    return hostShape;
}
