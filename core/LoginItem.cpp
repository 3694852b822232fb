#include "core/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {

const QString desktopFileName = QStringLiteral("vantrel.desktop");

bool isReservedInExec(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Inside double quotes these four need a backslash.
bool needsEscapeInQuotes(QChar c) {
    return c == u'"' || c == u'`' || c == u'$' || c == u'\\';
}

// A desktop entry's string values carry these characters as escape sequences.
QString escapeStringValue(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\') {
            escaped += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else if (c == u'\t') {
            escaped += QStringLiteral("\\t");
        } else if (c == u'\r') {
            escaped += QStringLiteral("\\r");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace

QString desktopExecArgument(const QString& argument) {
    QString quoted;
    const bool quote = std::any_of(argument.begin(), argument.end(), isReservedInExec);
    if (quote) {
        quoted += u'"';
    }
    for (const QChar c : argument) {
        if (quote && needsEscapeInQuotes(c)) {
            quoted += u'\\';
        }
        quoted += c;
        // A single percent sign would start a field code.
        if (c == u'%') {
            quoted += u'%';
        }
    }
    if (quote) {
        quoted += u'"';
    }
    return escapeStringValue(quoted);
}

QByteArray autostartDesktopEntry(const QString& applicationPath) {
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Vantrel\n"
                             "Exec=%1\n"
                             "X-GNOME-Autostart-enabled=true\n")
                             .arg(desktopExecArgument(applicationPath));
    return text.toUtf8();
}

LoginItem::LoginItem(QString applicationPath, QString autostartDirectory)
    : applicationPath_(std::move(applicationPath)),
      autostartDirectory_(std::move(autostartDirectory)) {}

QString LoginItem::defaultAutostartDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString LoginItem::desktopFilePath() const {
    return QDir(autostartDirectory_).filePath(desktopFileName);
}

bool LoginItem::setEnabled(bool enabled) {
    if (!enabled) {
        QFile entry(desktopFilePath());
        return !entry.exists() || entry.remove();
    }
    // An entry without a program to start would be invalid.
    if (applicationPath_.isEmpty() || !QDir().mkpath(autostartDirectory_)) {
        return false;
    }
    QSaveFile entry(desktopFilePath());
    if (!entry.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto text = autostartDesktopEntry(applicationPath_);
    if (entry.write(text) != text.size()) {
        entry.cancelWriting();
        return false;
    }
    return entry.commit();
}
