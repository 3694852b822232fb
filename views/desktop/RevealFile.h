#pragma once

#include <QDBusConnection>
#include <QString>

// Shows the file at `path` selected in the user's file manager, through
// org.freedesktop.FileManager1.ShowItems on `bus`; when no file manager answers there, opens
// the folder that holds the file instead. Returns at once; the answer is awaited on the loop.
void revealInFileManager(const QString& path,
                         const QDBusConnection& bus = QDBusConnection::sessionBus());
