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

bool drawsSquareCells(const QString& program) {
    static constexpr std::array<QLatin1StringView, 6> squareHosts{
        QLatin1StringView("plasmashell"),
        QLatin1StringView("kded5"),
        QLatin1StringView("kded6"),
        QLatin1StringView("xfce4-panel"),
        QLatin1StringView("xfce4-sntray-plugin"),
        QLatin1StringView("gnome-shell")};
    for (QLatin1StringView host : squareHosts) {
        if (program == host) {
            return true;
        }
    }
    return false;
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

TrayImageShape hostImageShape(const std::optional<TrayHostProcess>& host) {
    if (!host) {
        return TrayImageShape::Wide;
    }
    if (drawsSquareCells(host->name)) {
        return TrayImageShape::Square;
    }
    // XFCE runs panel plugins in a wrapper process whose arguments name the panel.
    for (const QString& argument : host->arguments) {
        if (drawsSquareCells(QFileInfo(argument).fileName()) ||
            argument.contains(QLatin1StringView("/xfce4/panel/"))) {
            return TrayImageShape::Square;
        }
    }
    return TrayImageShape::Wide;
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

bool isGnomeShellHost(const std::optional<TrayHostProcess>& host) {
    return host && host->name == QLatin1StringView("gnome-shell");
}
