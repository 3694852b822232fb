#include "core/SettingsFile.h"

#include "core/Clock.h"
#include "core/WholeFileWrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QTimeZone>

#include <utility>

namespace {

const Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

QString utcStamp(Clock::WallTime time) {
    const auto msecs =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc())
        .toString(u"yyyyMMdd'T'HHmmss'Z'");
}

}  // namespace

SettingsFile::SettingsFile(QString filePath) : SettingsFile(std::move(filePath), systemClock()) {}

SettingsFile::SettingsFile(QString filePath, const Clock& clock)
    : filePath_(std::move(filePath)), clock_(clock) {
    load();
}

QString SettingsFile::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantrel/settings.json");
}

std::optional<QJsonValue> SettingsFile::value(const QString& key) const {
    const auto found = values_.constFind(key);
    if (found == values_.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

bool SettingsFile::set(const QString& key, const QJsonValue& value) {
    if (value.isUndefined()) {
        values_.remove(key);
    } else {
        values_.insert(key, value);
    }
    return save();
}

bool SettingsFile::remove(const QString& key) {
    values_.remove(key);
    return save();
}

void SettingsFile::load() {
    QFile file(filePath_);
    if (!file.exists()) {
        return;
    }
    // Whatever is there but cannot be used is kept for the user rather than overwritten.
    if (!file.open(QIODevice::ReadOnly)) {
        unreadableFileKept_ = true;
        unreadableReason_ = QStringLiteral("it could not be opened: ") + file.errorString();
        return;
    }
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        unreadableFileKept_ = true;
        unreadableReason_ = QStringLiteral("it is not JSON: %1 at character %2")
                                .arg(error.errorString())
                                .arg(error.offset);
        return;
    }
    if (!document.isObject()) {
        unreadableFileKept_ = true;
        unreadableReason_ = QStringLiteral("it holds a list, not named settings");
        return;
    }
    values_ = document.object();
}

std::optional<UnreadableSettingsFile> SettingsFile::unreadableFile() const {
    if (unreadableReason_.isEmpty()) {
        return std::nullopt;
    }
    return UnreadableSettingsFile{unreadableReason_, movedAsidePath_.value_or(filePath_)};
}

bool SettingsFile::moveUnreadableFileAsideNow() {
    if (!unreadableFileKept_ || inMemoryOnly_) {
        return false;
    }
    return moveUnreadableFileAside() && movedAsidePath_.has_value();
}

bool SettingsFile::save() {
    if (inMemoryOnly_) {
        return true;
    }
    const QFileInfo target(filePath_);
    if (!QDir().mkpath(target.absolutePath())) {
        return false;
    }
    if (unreadableFileKept_ && !moveUnreadableFileAside()) {
        return false;
    }
    return writeFileAtomically(filePath_, QJsonDocument(values_).toJson(QJsonDocument::Indented))
        .isEmpty();
}

bool SettingsFile::moveUnreadableFileAside() {
    if (!QFile::exists(filePath_)) {
        unreadableFileKept_ = false;
        return true;
    }
    const auto base = filePath_ + QStringLiteral(".corrupt-") + utcStamp(clock_.wallNow());
    // Never replace an earlier copy made within the same second.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto aside = attempt == 0 ? base : base + QLatin1Char('-') + QString::number(attempt);
        if (QFile::exists(aside)) {
            continue;
        }
        if (!QFile::rename(filePath_, aside)) {
            return false;
        }
        unreadableFileKept_ = false;
        movedAsidePath_ = aside;
        return true;
    }
    return false;
}
