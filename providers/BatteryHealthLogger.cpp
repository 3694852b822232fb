#include "providers/BatteryHealthLogger.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimeZone>

#include <cmath>

namespace {

constexpr double kWeekSeconds = 604800;
constexpr double kMonthSeconds = 2592000;
// A point a week makes about 3 KiB a year; anything this large is not our history.
constexpr qint64 kLargestHistoryBytes = 16 * 1024 * 1024;
// Names tried for the moved-aside file when one from the same second already exists.
constexpr int kAsideNameAttempts = 100;
constexpr double kLongestTrendMonths = 1e9;

QString asideSuffix(Clock::WallTime now) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(milliseconds, QTimeZone::utc())
        .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

}  // namespace

BatteryHealthLogger::BatteryHealthLogger(QString filePath, const Clock& clock)
    : filePath_(std::move(filePath)), clock_(clock) {
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    load();
}

void BatteryHealthLogger::load() {
    QFile file(filePath_);
    if (!file.exists()) {
        return;
    }
    // Whatever stands at the path and cannot be taken as a history is kept for the user.
    unreadableFileInPlace_ = true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestHistoryBytes) {
        return;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return;
    }
    if (auto decoded = decodeBatteryHistory(text)) {
        history_ = std::move(*decoded);
        unreadableFileInPlace_ = false;
    }
}

void BatteryHealthLogger::record(const BatteryStats& battery) {
    if (!battery.hasBattery || battery.cycleCount < 1 || battery.healthPercent < 1) {
        return;
    }
    const double now = historySeconds(clock_.wallNow());
    if (!history_.empty() && now - history_.back().date <= kWeekSeconds) {
        return;
    }
    history_.push_back({now, battery.cycleCount, battery.healthPercent});
    save();
}

void BatteryHealthLogger::save() {
    if (unreadableFileInPlace_) {
        // Kept in memory either way; the file follows with the next point.
        if (!moveUnreadableFileAside()) {
            return;
        }
        unreadableFileInPlace_ = false;
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    file.write(encodeBatteryHistory(history_));
    file.commit();
}

bool BatteryHealthLogger::moveUnreadableFileAside() {
    if (!QFileInfo::exists(filePath_)) {
        return true;
    }
    const QString base = filePath_ + QStringLiteral(".corrupt-") + asideSuffix(clock_.wallNow());
    for (int attempt = 0; attempt < kAsideNameAttempts; ++attempt) {
        const QString target =
            attempt == 0 ? base : base + QLatin1Char('-') + QString::number(attempt);
        // rename never replaces an existing file.
        if (QFile::rename(filePath_, target)) {
            return true;
        }
        if (!QFileInfo::exists(target)) {
            return false;
        }
    }
    return false;
}

std::optional<QString> BatteryHealthLogger::trendText() const {
    if (history_.size() < 2) {
        return std::nullopt;
    }
    const BatterySnapshot& first = history_.front();
    const BatterySnapshot& last = history_.back();
    const double months = std::trunc((last.date - first.date) / kMonthSeconds);
    // Dates far outside any real history would not fit the count.
    if (!(months >= 1) || months > kLongestTrendMonths) {
        return std::nullopt;
    }
    return QStringLiteral("%1mo ago: %2% \u2192 now: %3%")
        .arg(static_cast<qint64>(months))
        .arg(first.healthPercent)
        .arg(last.healthPercent);
}

QVector<int> BatteryHealthLogger::healthHistory() const {
    QVector<int> percents;
    percents.reserve(static_cast<qsizetype>(history_.size()));
    for (const BatterySnapshot& point : history_) {
        percents.append(point.healthPercent);
    }
    return percents;
}

QString defaultBatteryHistoryPath() {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return dataHome + QStringLiteral("/vantrel/battery_history.json");
}

std::unique_ptr<BatteryHealthLogger> makeLinuxBatteryHealthLogger(const Clock& clock) {
    return std::make_unique<BatteryHealthLogger>(defaultBatteryHistoryPath(), clock);
}
