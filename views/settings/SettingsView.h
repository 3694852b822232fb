#pragma once

#include "views/settings/DataExportControls.h"
#include "views/settings/FileDialogs.h"

#include <QWidget>

class AppSettings;
class KeyboardShortcuts;
class MenuBarMetricList;
class SettingsFileControls;
class SettingsSection;
class SystemMonitor;
class UserDefaults;

// The settings window's grouped form. Every control edits one preference of the store
// directly and follows the store's own change signals, so a change from elsewhere (an import,
// the dashboard's accent dots) shows at once. Controls carry the property's name as their
// object name ("menuBarColorCoded", "refreshInterval", …).
class SettingsView : public QWidget {
    Q_OBJECT
public:
    // `shortcuts` may be null: the shortcut section then says none are available.
    SettingsView(AppSettings& settings, SystemMonitor& monitor, UserDefaults& defaults,
                 KeyboardShortcuts* shortcuts, DataExportActions dataExport,
                 QWidget* parent = nullptr);

    void setFileDialogs(const FileDialogs& dialogs);

    // The sections' titles, top to bottom.
    QStringList sectionTitles() const;
    MenuBarMetricList* metricList() const { return metrics_; }
    DataExportControls* dataExport() const { return dataExport_; }
    SettingsFileControls* settingsFile() const { return settingsFile_; }

private:
    SettingsSection* addSection(const QString& title);
    void buildMenuBarStyle(SettingsSection& section);
    void buildTemperatureAlerts(SettingsSection& section);
    void buildShortcuts(SettingsSection& section, KeyboardShortcuts* shortcuts);
    void buildStatusItem(SettingsSection& section);

    AppSettings& settings_;
    QList<SettingsSection*> sections_;
    MenuBarMetricList* metrics_ = nullptr;
    DataExportControls* dataExport_ = nullptr;
    SettingsFileControls* settingsFile_ = nullptr;
};
