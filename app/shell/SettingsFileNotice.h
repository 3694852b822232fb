#pragma once

#include "core/SettingsFile.h"
#include "platform/DesktopNotifier.h"

// The desktop notification that tells the user, once at launch, that the settings file could
// not be used: why, that the defaults are in use, and where the file is kept.
DesktopNotification unreadableSettingsNotice(const UnreadableSettingsFile& file);
