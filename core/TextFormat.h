#pragma once

#include "core/SampleRecords.h"

#include <QString>

#include <cstdint>
#include <optional>

// Every value text the program shows or writes. Numbers are written as C's printf writes
// them in the C locale: "." as the decimal separator whatever the user's locale, and an exact
// half of the binary value rounded to even ("%.1f" of 0.25 gives 0.2, "%.0f" of 2.5 gives 2).
// Sizes use binary multiples (1 KB = 1024 bytes, 1 GB = 2^30 bytes).

// "%.<decimals>f" of `value`.
QString fixedText(double value, int decimals);

// Whole numbers ("%.0f"): a fan speed in the status item.
QString wholeNumberText(double value);

// A fraction from 0 to 1 as a whole percentage, truncated toward zero: 0.427 gives "42%".
QString percentText(double fraction);

// A whole percentage as it is ("57%"): the battery's charge and health.
QString wholePercentText(int percent);

// A value already in percent with one decimal ("%.1f%%"): a process's CPU, report averages.
QString decimalPercentText(double percent);

// A value already in percent, whole ("%.0f%%"): the report's fan idleness and battery levels.
QString wholePercentText(double percent);

// Memory and GPU memory: "%.1f GB" from 1 GB on, else "%.0f MB".
QString formatBytes(std::uint64_t bytes);

// Always in gigabytes, "%.1f GB": the session's peak memory.
QString gigabytesText(std::uint64_t bytes);

// Bytes transferred in the session: "%.1f GB", "%.1f MB", "%.0f KB" or "%.0f B".
QString formatTotalBytes(double bytes);

// Bytes per second: "%.1f GB/s", "%.1f MB/s", "%.0f KB/s" or "%.0f B/s".
QString byteRateText(double bytesPerSecond);

// The status item's narrow rate: "%.0fG", "%.0fM", "%.0fK" or "%.0fB".
QString compactByteRateText(double bytesPerSecond);

// Pages moved per second, "%.0f/s": the dashboard's "Page In" and "Page Out".
QString pageRateText(double pagesPerSecond);

// An address cut to its first `length` characters with "…" when longer; shorter ones whole.
QString shortenedAddressText(const QString& address, int length);

// What a value without a reading shows: an em dash.
QString noValueText();

// What stands in place of a block of readings the machine has no source for: "No sensor",
// "No battery", "No GPU". A machine without one shows that, never a row of zeros.
QString noSensorText();
QString noBatteryText();
QString noGpuText();

// "%.1f °C": temperature rows and cards.
QString temperatureText(double celsius);

// "%.0f°C": the session's peak temperatures.
QString wholeTemperatureText(double celsius);

// "%.0f°": temperatures in the status item.
QString statusItemTemperatureText(double celsius);

// "%.1f W".
QString powerText(double watts);

// "%.2f Wh": energy used over a session.
QString energyText(double wattHours);

// "%.2f V".
QString voltageText(double volts);

// "%.2f A".
QString currentText(double amperes);

// "%.1f J": an energy counter's reading.
QString joulesText(double joules);

// A reading of the machine's list of every sensor, in the unit of its kind: as
// temperatureText, fanSpeedText, voltageText, currentText, powerText and joulesText write it;
// an absent or non-finite value shows noValueText().
QString sensorChannelValueText(SensorChannelKind kind, const std::optional<double>& value);

// The unit a kind is shown in: "°C", "RPM", "V", "A", "W", "J".
QString sensorChannelUnitText(SensorChannelKind kind);

// "%.2f  %.2f  %.2f" (two spaces): the one-, five- and fifteen-minute load averages.
QString loadAveragesText(const LoadAverages& load);

// A fan speed in the windows: whole revolutions per minute, halves rounded away from zero
// (this text is not a printf format), then " RPM": "1200 RPM".
QString fanSpeedText(double rpm);

// A fan speed in the session report, as printf writes it ("%.0f RPM"): "1200 RPM".
QString wholeRpmText(double rpm);

// "59m" below an hour, "23h 59m" below a day, "1d 1h 1m" from a day on; negative shows "0m".
QString uptimeText(std::int64_t seconds);

// Whole seconds (truncated toward zero) as "45s", "12m 5s" or "2h 3m": the session's and the
// recording's durations.
QString durationText(double seconds);

// As durationText, but 0 gives "None": report times above thresholds and throttling.
QString spanText(double seconds);

// The session's throttling time: "None" below a second, "59s" up to a minute, then minutes
// and seconds without an hour step ("61m 0s").
QString throttleText(std::int64_t seconds);

// "Full in 1h 35m" while charging, "45m remaining" on battery, "Fully Charged" when held on
// external power (-2 minutes), "Calculating..." while no estimate is known.
QString batteryTimeText(const BatteryStats& battery);

// "55.2 / 58.0 Wh" (present full charge, then design) when the voltage is known, else
// "4382 / 5103 mAh"; empty when either capacity is unknown.
QString batteryCapacityText(const BatteryStats& battery);

// The thermal state's name: "Nominal", "Fair", "Serious", "Critical"; any other value "Unknown".
QString thermalStateText(ThermalState state);

// A refresh interval as the Settings window offers it: "1 second", "2 seconds", "0.5 seconds".
QString refreshIntervalText(double seconds);

// How long an alert waits, as the Settings window offers it: "At once" for 0, "1 minute",
// "2 minutes" for whole minutes, else "10 seconds".
QString alertSustainText(int seconds);

// A length in points as the settings show it, no space before the unit: "30px".
QString pixelsText(int points);

// A number the user can edit again: the shortest form that reads back as the same value, C
// locale, no exponent for everyday sizes ("95", "72.5").
QString editableNumberText(double value);

// The running recording's status line: "Recording — 1m 5s, 32 rows".
QString recordingStatusText(double seconds, qint64 rows);
