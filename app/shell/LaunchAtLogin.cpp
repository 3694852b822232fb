#include "app/shell/LaunchAtLogin.h"

#include "core/AppSettings.h"
#include "core/LoginItem.h"

void followLaunchAtLogin(AppSettings& settings, LoginItem& loginItem) {
    QObject::connect(&settings, &AppSettings::launchAtLoginChanged, &settings,
                     [&settings, &loginItem] { loginItem.setEnabled(settings.launchAtLogin()); });
}
