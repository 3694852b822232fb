#pragma once

#include "views/settings/DataExportControls.h"

#include <QWidget>

class AppSettings;
class KeyboardShortcuts;
class SettingsView;
class SystemMonitor;
class SettingsFile;

// "Vantrel Settings": the settings form in a scrolling window of 420 × 700, dark whatever the
// desktop theme.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(AppSettings& settings, SystemMonitor& monitor, SettingsFile& defaults,
                   KeyboardShortcuts* shortcuts, DataExportActions dataExport,
                   QWidget* parent = nullptr);

    SettingsView* view() const { return view_; }

    static constexpr int width = 420;
    static constexpr int height = 700;

private:
    SettingsView* view_;
};
