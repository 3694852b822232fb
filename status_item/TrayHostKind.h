#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Which image the status item sends: the renderer's wide image, or the square glance for hosts
// that draw every item in a square cell.
enum class TrayImageShape { Wide, Square };

// The user's choice; Automatic decides from the host.
enum class TrayShapeChoice { Automatic, Wide, Square };

// The process that owns the tray host's watcher name.
struct TrayHostProcess {
    QString name;           // from /proc/PID/comm
    QStringList arguments;  // from /proc/PID/cmdline
};

// Reads the process from `<procRoot>/<pid>/`; nullopt when it has gone.
std::optional<TrayHostProcess> readTrayHostProcess(quint32 pid, const QString& procRoot);

// KDE Plasma (its watcher lives in kded or plasmashell), the XFCE panel and GNOME Shell draw
// square cells; waybar and unknown hosts keep a wide image.
TrayImageShape hostImageShape(const std::optional<TrayHostProcess>& host);

// GNOME Shell, whose AppIndicator extension draws every image in a 16 px square (a wide file
// fails to load there, a wide pixmap is squeezed), caches images by file name, and races its
// own name watcher against the first read of an item registered by bus name.
bool isGnomeShellHost(const std::optional<TrayHostProcess>& host);

TrayImageShape chooseImageShape(TrayShapeChoice choice, TrayImageShape hostShape);
