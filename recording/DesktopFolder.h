#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Where recordings go: the user's Desktop folder as the XDG user-dirs file names it.

// XDG_DESKTOP_DIR from the text of a user-dirs.dirs file: "$HOME/Path" or "/Path", with
// shell escapes; absent when the file does not name one usably.
std::optional<QString> desktopFromUserDirs(const QByteArray& userDirsText, const QString& home);

// The Desktop folder named in `configHome`/user-dirs.dirs, else `home`/Desktop. The folder
// may not exist.
QString desktopFolder(const QString& home, const QString& configHome);

// The same for this user: $HOME and $XDG_CONFIG_HOME (default ~/.config).
QString userDesktopFolder();
