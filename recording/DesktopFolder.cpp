#include "recording/DesktopFolder.h"

#include <QDir>
#include <QFile>
#include <QList>

namespace {

constexpr qint64 kLargestUserDirsFile = 64 * 1024;

// The text between the double quotes, with backslash escapes resolved.
std::optional<QString> quotedValue(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('"') || !trimmed.endsWith('"')) {
        return std::nullopt;
    }
    QByteArray value;
    for (qsizetype i = 1; i + 1 < trimmed.size(); ++i) {
        if (trimmed[i] == '\\' && i + 2 < trimmed.size()) {
            ++i;
        }
        value.append(trimmed[i]);
    }
    return QString::fromUtf8(value);
}

}  // namespace

std::optional<QString> desktopFromUserDirs(const QByteArray& userDirsText, const QString& home) {
    static const QByteArray kKey = "XDG_DESKTOP_DIR=";
    std::optional<QString> found;
    for (const QByteArray& rawLine : userDirsText.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (!line.startsWith(kKey)) {
            continue;
        }
        const auto value = quotedValue(line.mid(kKey.size()));
        if (!value) {
            continue;
        }
        // Later lines win, as when the file is read by a shell.
        if (*value == u"$HOME" || value->startsWith(u"$HOME/")) {
            found = QDir::cleanPath(home + value->mid(5));
        } else if (value->startsWith(u'/')) {
            found = QDir::cleanPath(*value);
        }
    }
    return found;
}

QString desktopFolder(const QString& home, const QString& configHome) {
    QFile userDirs(configHome + QStringLiteral("/user-dirs.dirs"));
    if (userDirs.open(QIODevice::ReadOnly)) {
        if (const auto named = desktopFromUserDirs(userDirs.read(kLargestUserDirsFile), home)) {
            return *named;
        }
    }
    return QDir::cleanPath(home + QStringLiteral("/Desktop"));
}

QString userDesktopFolder() {
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        home = QDir::homePath();
    }
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configHome.startsWith(u'/')) {  // unset, empty or relative: the default
        configHome = home + QStringLiteral("/.config");
    }
    return desktopFolder(home, configHome);
}
