#pragma once

#include "views/settings/FileDialogs.h"

#include <QString>
#include <QWidget>

class AppSettings;
class KeyboardShortcuts;
class QLabel;
class QPushButton;
class SettingsFile;

// "Export…" and "Import…" of the settings file, through the save and open dialogs, with a line
// that says how it went: where the file went, which of an imported file's keys were left
// alone, or why nothing was written or changed.
class SettingsFileControls : public QWidget {
    Q_OBJECT
public:
    // `shortcuts` may be null; when given, imported shortcuts take effect at once.
    SettingsFileControls(AppSettings& settings, SettingsFile& defaults,
                         KeyboardShortcuts* shortcuts, QWidget* parent = nullptr);

    void setFileDialogs(FileDialogs dialogs) { dialogs_ = std::move(dialogs); }

    void exportFile();
    void importFile();
    QString message() const;

private:
    void say(const QString& text, bool failed);

    AppSettings& settings_;
    SettingsFile& defaults_;
    KeyboardShortcuts* shortcuts_;
    FileDialogs dialogs_ = FileDialogs::standard();
    QLabel* message_;
};
