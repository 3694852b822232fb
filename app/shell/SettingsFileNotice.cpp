#include "app/shell/SettingsFileNotice.h"

#include <QDir>

DesktopNotification unreadableSettingsNotice(const UnreadableSettingsFile& file) {
    return {QStringLiteral("Vantrel's settings could not be read"),
            QStringLiteral("Vantrel started with the default settings because its settings "
                           "file could not be used (%1). The file is kept as %2.")
                .arg(file.reason, QDir::toNativeSeparators(file.keptPath))};
}
