#pragma once

#include "status_item/sni/SniTypes.h"

#include <QKeySequence>
#include <QString>
#include <QVariantMap>

class QAction;

// How one QAction reads in com.canonical.dbusmenu: "type", "label", "enabled", "visible",
// "toggle-type", "toggle-state", "shortcut" (unless `withShortcut` is false), "icon-name",
// "children-display".
QVariantMap dbusMenuProperties(const QAction& action, bool withShortcut = true);

// Qt marks a mnemonic with '&' ("&&" for a literal '&'), dbusmenu with '_' ("__").
QString dbusMenuLabel(const QString& qtText);

// Key chords as dbusmenu names them, e.g. Ctrl+, gives [["Control", "comma"]].
DBusMenuShortcut dbusMenuShortcut(const QKeySequence& sequence);
