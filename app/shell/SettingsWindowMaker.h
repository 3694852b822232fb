#pragma once

#include "views/settings/DataExportControls.h"

#include <QWidget>

#include <functional>

class AppSettings;
class Clock;
class KeyboardShortcuts;
class SystemMonitor;
class SettingsFile;

// The Data Export section's actions on the monitor's CSV recorder and the snapshot writer.
// A monitor whose recorder is not the CSV recorder gets no recording actions.
DataExportActions dataExportActions(SystemMonitor& monitor, Clock& clock);

// Makes the settings window, centred on the screen under the pointer; a written snapshot is
// shown in the file manager.
std::function<QWidget*()> settingsWindowMaker(AppSettings& settings, SystemMonitor& monitor,
                                              SettingsFile& defaults, KeyboardShortcuts* shortcuts,
                                              Clock& clock);
