#include "helper/SensorTestReport.h"

#include "helper/SensorCollector.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t kLabelWidth = 14;

std::string line(std::string label, const std::string& value) {
    label.resize(std::max(label.size(), kLabelWidth), ' ');
    return label + value + "\n";
}

}  // namespace

std::string shortestDecimal(double value) {
    // Fixed notation of the largest double takes 309 digits and a sign.
    std::array<char, 512> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed);
    std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
    if (std::isfinite(value) && text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string formatSensorTest(const SensorReading& reading) {
    std::string text = "=== Vantrel Sensor Test ===\n";
    text += line("CPU Temp:", shortestDecimal(reading.cpuTempCelsius.value_or(-1.0)));
    text += line("GPU Temp:", shortestDecimal(reading.gpuTempCelsius.value_or(-1.0)));
    text += line("Batt Temp:", shortestDecimal(reading.batteryTempCelsius.value_or(-1.0)));
    text += line("SSD Temp:", shortestDecimal(reading.ssdTempCelsius.value_or(-1.0)));
    text += line("Memory Temp:", shortestDecimal(reading.memoryTempCelsius.value_or(-1.0)));
    text += line("Ambient Temp:", shortestDecimal(reading.ambientTempCelsius.value_or(-1.0)));
    text += line("IO Temp:", shortestDecimal(reading.ioTempCelsius.value_or(-1.0)));
    text += line("CPU Power:", shortestDecimal(reading.cpuPowerWatts.value_or(-1.0)));
    text += line("GPU Power:", shortestDecimal(reading.gpuPowerWatts.value_or(-1.0)));
    text += line("System Power:", shortestDecimal(reading.systemPowerWatts.value_or(-1.0)));
    text += line("Charger:", shortestDecimal(reading.chargerPowerWatts.value_or(-1.0)));
    text += line("Fan 0:", shortestDecimal(reading.fan0Rpm.value_or(-1.0)));
    text += line("Fan 1:", shortestDecimal(reading.fan1Rpm.value_or(-1.0)));
    text += line("Fan Count:", std::to_string(reading.fanCount));
    text += std::string(28, '=') + "\n";
    return text;
}

int runSensorTest(SensorCollector& collector, std::FILE* out) {
    const std::string text = formatSensorTest(collector.collect());
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
    return 0;
}
