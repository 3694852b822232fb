#pragma once

#include "core/SettingsTable.h"
#include "views/settings/DataExportControls.h"
#include "views/settings/FileDialogs.h"

#include <QWidget>

class AppSettings;
class KeyboardShortcuts;
class StatusMetricList;
class SettingsFileControls;
class SettingsSection;
class SystemMonitor;
class SettingsFile;

// The settings window's grouped form. Every control edits one preference of the store
// directly and follows the store's own change signals, so a change from elsewhere (an import,
// the dashboard's accent dots) shows at once. The rows that are one control on one setting
// come from the settings table; controls carry the setting's stored key as their object name
// ("statusItemColorCoded", "refreshInterval", …).
class SettingsView : public QWidget {
    Q_OBJECT
public:
    // `shortcuts` may be null: the shortcut section then says none are available.
    SettingsView(AppSettings& settings, SystemMonitor& monitor, SettingsFile& defaults,
                 KeyboardShortcuts* shortcuts, DataExportActions dataExport,
                 QWidget* parent = nullptr);

    void setFileDialogs(const FileDialogs& dialogs);

    // The sections' titles, top to bottom.
    QStringList sectionTitles() const;
    StatusMetricList* metricList() const { return metrics_; }
    DataExportControls* dataExport() const { return dataExport_; }
    SettingsFileControls* settingsFile() const { return settingsFile_; }

private:
    SettingsSection* addSection(const QString& title);
    // The rows of every setting the table shows in `shown`, in the table's order.
    void addRows(SettingsSection& section, SettingsWindowSection shown);
    void buildShortcuts(SettingsSection& section, KeyboardShortcuts* shortcuts);

    AppSettings& settings_;
    QList<SettingsSection*> sections_;
    StatusMetricList* metrics_ = nullptr;
    DataExportControls* dataExport_ = nullptr;
    SettingsFileControls* settingsFile_ = nullptr;
};
