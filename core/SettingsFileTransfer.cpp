#include "core/SettingsFileTransfer.h"

#include "core/AppSettings.h"
#include "core/SettingRules.h"
#include "core/SettingsFile.h"
#include "core/SettingsTable.h"
#include "core/WholeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

SettingsFileResult failure(const QString& why) {
    SettingsFileResult result;
    result.error = why;
    return result;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

SettingsFileResult exportSettingsFile(const AppSettings& settings, const SettingsFile& stored,
                                      const QString& path) {
    QJsonObject content = stored.values();
    for (const SettingDeclaration& declaration : settingsTable()) {
        const QJsonValue value = settings.value(declaration.setting);
        if (!value.isUndefined()) {
            content.insert(declaration.key, value);
        }
    }
    const QByteArray text = QJsonDocument(content).toJson(QJsonDocument::Indented);
    if (const QString reason = writeFileAtomically(path, text); !reason.isEmpty()) {
        return failure(QStringLiteral("Could not write %1: %2").arg(shown(path), reason));
    }
    return {};
}

SettingsFileResult importSettingsFile(AppSettings& settings, SettingsFile& stored,
                                      const QString& path) {
    // A folder, a pipe or a device is no settings file, and reading one might never end.
    const QFileInfo info(path);
    if (!info.exists()) {
        return failure(QStringLiteral("%1 does not exist.").arg(shown(path)));
    }
    if (!info.isFile()) {
        return failure(QStringLiteral("%1 is not a file.").arg(shown(path)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(
            QStringLiteral("Could not read %1: %2").arg(shown(path), file.errorString()));
    }
    const QByteArray text = file.read(settingsFileSizeLimit + 1);
    if (text.size() > settingsFileSizeLimit) {
        return failure(
            QStringLiteral("%1 is larger than 1 MiB; a settings file is a few kilobytes.")
                .arg(shown(path)));
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        return failure(QStringLiteral("%1 is not a settings file: %2 at character %3.")
                           .arg(shown(path), error.errorString())
                           .arg(error.offset));
    }
    if (!document.isObject()) {
        return failure(
            QStringLiteral("%1 is not a settings file: it holds a list, not named settings.")
                .arg(shown(path)));
    }

    const QJsonObject values = document.object();
    QStringList applied;
    QHash<QString, QString> refusals;
    for (const SettingDeclaration& declaration : settingsTable()) {
        const auto value = values.constFind(declaration.key);
        if (value == values.constEnd()) {
            continue;
        }
        if (const auto refusal = settings.apply(declaration.setting, *value)) {
            refusals.insert(declaration.key, *refusal);
        } else {
            applied.append(declaration.key);
        }
    }
    SettingsFileResult result;
    // The global shortcuts keep one value per name: the combination as JSON text, or false
    // for a default the user cleared. The shortcuts module reads them.
    for (const QString& name : shortcutNames) {
        const QString key = shortcutKeyPrefix + name;
        const auto value = values.constFind(key);
        if (value == values.constEnd()) {
            continue;
        }
        if (const auto refusal = storedShortcutRefusal(*value)) {
            refusals.insert(key, *refusal);
            continue;
        }
        if (stored.value(key) != *value) {
            stored.set(key, *value);
            result.changedShortcuts.append(name);
        }
        applied.append(key);
    }
    for (const QString& key : values.keys()) {
        if (!applied.contains(key)) {
            result.ignored.append({key, refusals.value(key, QStringLiteral("unknown setting"))});
        }
    }
    return result;
}
