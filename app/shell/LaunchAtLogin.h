#pragma once

class AppSettings;
class LoginItem;

// Keeps the desktop's autostart entry in step with the "Launch at Login" setting: each change
// of it writes or removes the entry, for as long as `settings` lives. The setting keeps the
// user's request even when the desktop refuses.
void followLaunchAtLogin(AppSettings& settings, LoginItem& loginItem);
