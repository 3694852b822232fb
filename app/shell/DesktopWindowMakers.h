#pragma once

class AppSettings;
class Clock;
class KeyboardShortcuts;
class SystemMonitor;
class SettingsFile;
struct ShellOptions;

// Gives `options` the desktop program's window makers: the dashboard (with the options'
// support page), the Settings, Help and Session Report windows. Everything passed in must
// outlive the windows.
void addDesktopWindowMakers(ShellOptions& options, SystemMonitor& monitor, AppSettings& settings,
                            SettingsFile& defaults, KeyboardShortcuts* shortcuts, Clock& clock);
