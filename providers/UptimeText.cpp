#include "providers/UptimeText.h"

QString uptimeText(std::int64_t seconds) {
    constexpr std::int64_t kMinute = 60;
    constexpr std::int64_t kHour = 3600;
    constexpr std::int64_t kDay = 86400;
    const std::int64_t s = seconds < 0 ? 0 : seconds;
    const std::int64_t days = s / kDay;
    const std::int64_t hours = (s % kDay) / kHour;
    const std::int64_t minutes = (s % kHour) / kMinute;
    if (s < kHour) {
        return QStringLiteral("%1m").arg(minutes);
    }
    if (s < kDay) {
        return QStringLiteral("%1h %2m").arg(hours).arg(minutes);
    }
    return QStringLiteral("%1d %2h %3m").arg(days).arg(hours).arg(minutes);
}
