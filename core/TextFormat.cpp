#include "core/TextFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kKB = 1024.0;
constexpr double kMB = kKB * 1024.0;
constexpr double kGB = kMB * 1024.0;

// The battery's estimate while it is held full on external power.
constexpr int kFullyChargedMinutes = -2;

// Truncation toward zero that stays defined for NaN and values beyond a 64-bit integer.
std::int64_t truncated(double value) {
    constexpr double kLimit = 1e15;
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(std::clamp(value, -kLimit, kLimit)));
}

QString withUnit(double value, int decimals, const char* unit) {
    return fixedText(value, decimals) + QLatin1String(unit);
}

QString minutesAndHours(int minutes, const char* suffix) {
    const QString rest = QString::number(minutes % 60) + u'm';
    const QString text =
        minutes < 60 ? rest : QString::number(minutes / 60) + QLatin1String("h ") + rest;
    return text + QLatin1String(suffix);
}

}  // namespace

QString fixedText(double value, int decimals) {
    // std::to_chars with a precision is specified to write what printf writes in the C locale.
    std::array<char, 400> buffer{};  // room for any double in fixed notation
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return {};
    }
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

QString wholeNumberText(double value) {
    return fixedText(value, 0);
}

QString percentText(double fraction) {
    return QString::number(truncated(fraction * 100)) + u'%';
}

QString wholePercentText(int percent) {
    return QString::number(percent) + u'%';
}

QString decimalPercentText(double percent) {
    return withUnit(percent, 1, "%");
}

QString wholePercentText(double percent) {
    return withUnit(percent, 0, "%");
}

QString formatBytes(std::uint64_t bytes) {
    const auto amount = static_cast<double>(bytes);
    return amount >= kGB ? withUnit(amount / kGB, 1, " GB") : withUnit(amount / kMB, 0, " MB");
}

QString gigabytesText(std::uint64_t bytes) {
    return withUnit(static_cast<double>(bytes) / kGB, 1, " GB");
}

QString formatTotalBytes(double bytes) {
    if (bytes >= kGB) {
        return withUnit(bytes / kGB, 1, " GB");
    }
    if (bytes >= kMB) {
        return withUnit(bytes / kMB, 1, " MB");
    }
    if (bytes >= kKB) {
        return withUnit(bytes / kKB, 0, " KB");
    }
    return withUnit(bytes, 0, " B");
}

QString byteRateText(double bytesPerSecond) {
    return formatTotalBytes(bytesPerSecond) + QLatin1String("/s");
}

QString compactByteRateText(double b) {
    if (b >= kGB) {
        return withUnit(b / kGB, 0, "G");
    }
    if (b >= kMB) {
        return withUnit(b / kMB, 0, "M");
    }
    if (b >= kKB) {
        return withUnit(b / kKB, 0, "K");
    }
    return withUnit(b, 0, "B");
}

QString pageRateText(double pagesPerSecond) {
    return withUnit(pagesPerSecond, 0, "/s");
}

QString shortenedAddressText(const QString& address, int length) {
    if (address.size() <= length) {
        return address;
    }
    return address.left(std::max(0, length)) + QChar(0x2026);
}

QString noValueText() {
    return QString(QChar(0x2014));
}

QString noSensorText() {
    return QStringLiteral("No sensor");
}

QString noBatteryText() {
    return QStringLiteral("No battery");
}

QString noGpuText() {
    return QStringLiteral("No GPU");
}

QString temperatureText(double celsius) {
    return fixedText(celsius, 1) + QStringLiteral(u" \u00B0C");
}

QString wholeTemperatureText(double celsius) {
    return fixedText(celsius, 0) + QStringLiteral(u"\u00B0C");
}

QString statusItemTemperatureText(double celsius) {
    return fixedText(celsius, 0) + QStringLiteral(u"\u00B0");
}

QString powerText(double watts) {
    return withUnit(watts, 1, " W");
}

QString wholeRpmText(double rpm) {
    return withUnit(rpm, 0, " RPM");
}

QString energyText(double wattHours) {
    return withUnit(wattHours, 2, " Wh");
}

QString voltageText(double volts) {
    return withUnit(volts, 2, " V");
}

QString currentText(double amperes) {
    return withUnit(amperes, 2, " A");
}

QString joulesText(double joules) {
    return withUnit(joules, 1, " J");
}

QString sensorChannelValueText(SensorChannelKind kind, const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        return noValueText();
    }
    switch (kind) {
        case SensorChannelKind::temperature:
            return temperatureText(*value);
        case SensorChannelKind::fan:
            return fanSpeedText(*value);
        case SensorChannelKind::voltage:
            return voltageText(*value);
        case SensorChannelKind::current:
            return currentText(*value);
        case SensorChannelKind::power:
            return powerText(*value);
        case SensorChannelKind::energy:
            return joulesText(*value);
    }
    return noValueText();
}

QString sensorChannelUnitText(SensorChannelKind kind) {
    switch (kind) {
        case SensorChannelKind::temperature:
            return QStringLiteral(u"\u00B0C");
        case SensorChannelKind::fan:
            return QStringLiteral("RPM");
        case SensorChannelKind::voltage:
            return QStringLiteral("V");
        case SensorChannelKind::current:
            return QStringLiteral("A");
        case SensorChannelKind::power:
            return QStringLiteral("W");
        case SensorChannelKind::energy:
            return QStringLiteral("J");
    }
    return {};
}

QString loadAveragesText(const LoadAverages& load) {
    const QString gap = QStringLiteral("  ");
    return fixedText(load.one, 2) + gap + fixedText(load.five, 2) + gap +
           fixedText(load.fifteen, 2);
}

QString fanSpeedText(double rpm) {
    // Speeds beyond what an int holds (or not numbers at all) never come from a real fan;
    // they are shown clamped rather than turned into undefined arithmetic.
    constexpr double kLargest = std::numeric_limits<int>::max();
    const double bounded = std::isnan(rpm) ? 0.0 : std::clamp(rpm, -kLargest, kLargest);
    return QString::number(std::lround(bounded)) + QLatin1String(" RPM");
}

QString uptimeText(std::int64_t seconds) {
    constexpr std::int64_t kHour = 3600;
    constexpr std::int64_t kDay = 86400;
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    const QString minutes = QString::number(s % kHour / 60) + u'm';
    if (s < kHour) {
        return minutes;
    }
    const QString hours = QString::number(s % kDay / kHour) + QLatin1String("h ") + minutes;
    if (s < kDay) {
        return hours;
    }
    return QString::number(s / kDay) + QLatin1String("d ") + hours;
}

QString durationText(double seconds) {
    const std::int64_t s = truncated(seconds);
    if (s < 60) {
        return QString::number(s) + u's';
    }
    if (s < 3600) {
        return QString::number(s / 60) + QLatin1String("m ") + QString::number(s % 60) + u's';
    }
    return QString::number(s / 3600) + QLatin1String("h ") + QString::number(s % 3600 / 60) + u'm';
}

QString spanText(double seconds) {
    return truncated(seconds) == 0 ? QStringLiteral("None") : durationText(seconds);
}

QString throttleText(std::int64_t seconds) {
    if (seconds < 1) {
        return QStringLiteral("None");
    }
    if (seconds < 60) {
        return QString::number(seconds) + u's';
    }
    return QString::number(seconds / 60) + QLatin1String("m ") + QString::number(seconds % 60) +
           u's';
}

QString batteryTimeText(const BatteryStats& battery) {
    const int minutes = battery.timeRemainingMinutes;
    if (battery.isCharging) {
        return minutes < 1 ? QStringLiteral("Charging")
                           : QLatin1String("Full in ") + minutesAndHours(minutes, "");
    }
    if (minutes == kFullyChargedMinutes) {
        return QStringLiteral("Fully Charged");
    }
    // -1 and any other negative value: no estimate yet.
    if (minutes < 0) {
        return QStringLiteral("Calculating...");
    }
    return minutesAndHours(minutes, " remaining");
}

QString batteryCapacityText(const BatteryStats& battery) {
    const int design = battery.designCapacityMAh;
    const int maximum = battery.currentMaxCapacityMAh;
    if (design < 1 || maximum < 1) {
        return {};
    }
    const double designWattHours = battery.voltage * design / 1000.0;
    const double presentWattHours = battery.voltage * maximum / 1000.0;
    if (designWattHours > 0 && presentWattHours > 0) {
        return fixedText(presentWattHours, 1) + QLatin1String(" / ") +
               withUnit(designWattHours, 1, " Wh");
    }
    return QString::number(maximum) + QLatin1String(" / ") + QString::number(design) +
           QLatin1String(" mAh");
}

QString thermalStateText(ThermalState state) {
    switch (state) {
        case ThermalState::nominal:
            return QStringLiteral("Nominal");
        case ThermalState::fair:
            return QStringLiteral("Fair");
        case ThermalState::serious:
            return QStringLiteral("Serious");
        case ThermalState::critical:
            return QStringLiteral("Critical");
    }
    return QStringLiteral("Unknown");
}

QString pixelsText(int points) {
    return QString::number(points) + QLatin1String("px");
}

QString editableNumberText(double value) {
    return QString::number(value, 'g', 15);
}

QString refreshIntervalText(double seconds) {
    return editableNumberText(seconds) +
           (seconds == 1 ? QStringLiteral(" second") : QStringLiteral(" seconds"));
}

QString alertSustainText(int seconds) {
    if (seconds == 0) {
        return QStringLiteral("At once");
    }
    if (seconds % 60 == 0) {
        const int minutes = seconds / 60;
        return QString::number(minutes) +
               (minutes == 1 ? QStringLiteral(" minute") : QStringLiteral(" minutes"));
    }
    return QString::number(seconds) +
           (seconds == 1 ? QStringLiteral(" second") : QStringLiteral(" seconds"));
}

QString recordingStatusText(double seconds, qint64 rows) {
    return QStringLiteral("Recording — %1, %2 rows").arg(durationText(seconds)).arg(rows);
}
