#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Which image the status item sends: the renderer's wide image, or the square glance for hosts
// that draw every item in a square cell.
enum class TrayImageShape { Wide, Square };

// The user's choice; Automatic decides from the host.
enum class TrayShapeChoice { Automatic, Wide, Square };

// How the picture reaches the host. Hosts that cache an icon file by its name, or cannot read
// one, get the pixmap only; hosts that keep a wide image only when it comes as a file get a
// file too, under a new name each time.
enum class TrayPictureForm { PixmapOnly, PixmapAndFile };

// What the status item knows of one tray host.
struct TrayHostTraits {
    TrayImageShape shape = TrayImageShape::Square;
    double iconHeight = 22;  // logical px of the cell's height, at which the wide image is drawn
    TrayPictureForm form = TrayPictureForm::PixmapOnly;
    // Whether the menu's entries carry their shortcuts. A host that builds the menu with
    // libdbusmenu-gtk and no accelerator group (waybar) logs two GTK criticals for each one.
    bool menuShortcuts = true;
    // Whether the item registers by its object path rather than its bus name. GNOME Shell's
    // AppIndicator extension watches a registered bus name and its first report can arrive
    // after the item's properties and wipe them, dropping the item.
    bool registerByPath = false;
    // Whether the item sends its label. A host that shows it beside a picture holding the same
    // figures (MATE) gets none: a second copy is noise.
    bool label = true;
    bool operator==(const TrayHostTraits&) const = default;
};

// The process that owns the tray host's watcher name.
struct TrayHostProcess {
    QString name;           // from /proc/PID/comm
    QStringList arguments;  // from /proc/PID/cmdline
};

// Reads the process from `<procRoot>/<pid>/`; nullopt when it has gone.
std::optional<TrayHostProcess> readTrayHostProcess(quint32 pid, const QString& procRoot);

// Only hosts known to draw a wide image at its size get one; every other host (Plasma, LXQt,
// the XFCE panel, a host not known at all) gets the square glance as a pixmap.
TrayHostTraits trayHostTraits(const std::optional<TrayHostProcess>& host);

TrayImageShape chooseImageShape(TrayShapeChoice choice, TrayImageShape hostShape);
