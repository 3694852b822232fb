#pragma once

#include <QString>

#include <functional>

class QWidget;

// The save and open dialogs of the settings window; tests hand in their own answers. Each
// returns the chosen path, empty when the user cancelled.
struct FileDialogs {
    // `proposedName` is offered in the user's home folder; `suffix` is added to a name typed
    // without it, and only files ending in it are listed.
    std::function<QString(QWidget* parent, const QString& title, const QString& proposedName,
                          const QString& filter, const QString& suffix)>
        save;
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> open;

    // The toolkit's own dialogs.
    static FileDialogs standard();
};
