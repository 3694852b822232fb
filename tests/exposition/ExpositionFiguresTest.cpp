#include "ExpositionText.h"
#include "FixtureSnapshot.h"
#include "exposition/Exposition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>

namespace {

QByteArray textOf(const MetricsSnapshot& snapshot) {
    return renderExposition(snapshot, ExpositionFormat::prometheusText);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A figure that was not measured, and the line that must then be missing: a sample (name and
// labels) or a whole family's HELP line.
struct MissingCase {
    const char* what;
    std::function<void(MetricsSnapshot&)> change;
    const char* missingLine;
};

void PrintTo(const MissingCase& missing, std::ostream* out) {
    *out << missing.what;
}

class MissingFigures : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingFigures, GiveNoSample) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    ASSERT_TRUE(hasLineStarting(textOf(snapshot), GetParam().missingLine))
        << "the full snapshot lacks " << GetParam().missingLine;
    GetParam().change(snapshot);
    const QByteArray text = textOf(snapshot);
    EXPECT_FALSE(hasLineStarting(text, GetParam().missingLine)) << GetParam().what;
    EXPECT_FALSE(text.contains("nan") || text.contains("NaN") || text.contains("Inf"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingFigures,
    testing::Values(
        MissingCase{"NaN share", [](auto& s) { s.cpu.overall = kNaN; },
                    "# HELP vantrel_cpu_usage_ratio "},
        MissingCase{"infinite core share", [](auto& s) { s.cpu.perCore[2] = kInfinity; },
                    "vantrel_cpu_core_usage_ratio{cpu=\"2\"}"},
        MissingCase{"no CPU temperature", [](auto& s) { s.sensors.cpuTempCelsius.reset(); },
                    "vantrel_temperature_celsius{name=\"cpu\"}"},
        MissingCase{"no named temperature at all",
                    [](auto& s) {
                        s.sensors.cpuTempCelsius.reset();
                        s.sensors.gpuTempCelsius.reset();
                        s.sensors.ssdTempCelsius = kNaN;
                    },
                    "# HELP vantrel_temperature_celsius "},
        MissingCase{"a channel without a value",
                    [](auto& s) { s.sensors.channels[0].value.reset(); },
                    "vantrel_sensor_temperature_celsius{chip=\"platform_nct6775_656\","
                    "sensor=\"channel0\""},
        MissingCase{"a channel without a critical limit",
                    [](auto& s) { s.sensors.channels[6].critical.reset(); },
                    "vantrel_sensor_temperature_critical_celsius{chip=\"platform_nct6775_656\","
                    "sensor=\"channel6\""},
        MissingCase{"unknown time remaining", [](auto& s) { s.battery.timeRemainingMinutes = -1; },
                    "# HELP vantrel_battery_time_remaining_seconds "},
        MissingCase{"unknown health", [](auto& s) { s.battery.healthPercent = -1; },
                    "# HELP vantrel_battery_health_ratio "},
        MissingCase{"unknown cycles", [](auto& s) { s.battery.cycleCount = -1; },
                    "# HELP vantrel_battery_cycles "},
        MissingCase{"no battery", [](auto& s) { s.battery.hasBattery = false; },
                    "# HELP vantrel_battery_"},
        MissingCase{"no GPU", [](auto& s) { s.gpu.acceleratorCount = 0; }, "# HELP vantrel_gpu_"},
        MissingCase{"no GPU, no GPU peak", [](auto& s) { s.gpu.acceleratorCount = 0; },
                    "# HELP vantrel_session_peak_gpu_usage_ratio "},
        MissingCase{"a GPU without memory figures", [](auto& s) { s.gpu.totalMemoryBytes = 0; },
                    "# HELP vantrel_gpu_memory_"},
        MissingCase{"no primary interface", [](auto& s) { s.network.interfaceName.clear(); },
                    "# HELP vantrel_network_receive_bytes_per_second "},
        MissingCase{"memory not read", [](auto& s) { s.ram = {}; }, "# HELP vantrel_memory_"},
        MissingCase{"start-up volume not read", [](auto& s) { s.disk.totalBytes = 0; },
                    "vantrel_disk_size_bytes{mountpoint=\"/\"}"},
        MissingCase{"no CPU temperature peak yet", [](auto& s) { s.session.peakCpuTemp = 0; },
                    "# HELP vantrel_session_peak_cpu_temperature_celsius "},
        MissingCase{"a counter below zero", [](auto& s) { s.session.throttleTime = -1; },
                    "# HELP vantrel_thermal_throttle_seconds_total "},
        MissingCase{"no process listed", [](auto& s) { s.processes.topByCpu.clear(); },
                    "# HELP vantrel_top_process_cpu_ratio "}));

TEST(ExpositionFigures, WithoutTheHelperNoSensorFigureIsExported) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    snapshot.helperAvailable = false;
    const QByteArray text = textOf(snapshot);
    EXPECT_TRUE(sampleLines(text).contains("vantrel_sensor_helper_up 0"));
    for (const char* prefix :
         {"# HELP vantrel_temperature_celsius ", "# HELP vantrel_power_watts ",
          "# HELP vantrel_fan_speed_rpm ", "# HELP vantrel_sensor_temperature",
          "# HELP vantrel_sensor_fan", "# HELP vantrel_sensor_voltage",
          "# HELP vantrel_sensor_current", "# HELP vantrel_sensor_power",
          "# HELP vantrel_sensor_energy", "# HELP vantrel_session_peak_cpu_temperature",
          "# HELP vantrel_session_peak_gpu_temperature"}) {
        EXPECT_FALSE(hasLineStarting(text, prefix)) << prefix;
    }
}

TEST(ExpositionFigures, BeforeTheFirstPollOnlyTheProgramIsExported) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    snapshot.session.pollCount = 0;
    EXPECT_EQ(sampleLines(textOf(snapshot)),
              QByteArrayList({"vantrel_build_info{version=\"1.4.0\"} 1", "vantrel_polls_total 0",
                              "vantrel_sensor_helper_up 1"}));
}

TEST(ExpositionFigures, LabelValuesAreEscaped) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    snapshot.processes.topByCpu[0].name = QStringLiteral("say \"hi\"\\now\nthen");
    snapshot.processes.topByCpu[1].name = QStringLiteral("caf\u00e9 \U0001F600");
    snapshot.processes.topByCpu[2].name = QString(QChar(0xD800)) + QStringLiteral("x");
    snapshot.sensors.channels[1].label = QStringLiteral("CPU \"Fan\"");
    for (const ExpositionFormat format :
         {ExpositionFormat::prometheusText, ExpositionFormat::openMetrics}) {
        const QByteArrayList samples = sampleLines(renderExposition(snapshot, format));
        EXPECT_TRUE(samples.contains(
            R"(vantrel_top_process_cpu_ratio{rank="1",name="say \"hi\"\\now\nthen"} 1.5)"));
        EXPECT_TRUE(
            samples.contains("vantrel_top_process_cpu_ratio{rank=\"2\",name=\"caf\xC3\xA9 "
                             "\xF0\x9F\x98\x80\"} 1.3"));
        EXPECT_TRUE(samples.contains(
            "vantrel_top_process_cpu_ratio{rank=\"3\",name=\"\xEF\xBF\xBDx\"} 1.1"));
        EXPECT_TRUE(samples.contains(
            R"(vantrel_sensor_fan_speed_rpm{chip="platform_nct6775_656",sensor="channel1",label="CPU \"Fan\""} 41.125)"));
    }
    const PromtoolVerdict verdict = promtoolCheckMetrics(textOf(snapshot));
    ASSERT_TRUE(verdict.ran);
    EXPECT_EQ(verdict.exitCode, 0) << verdict.output.toStdString();
}

TEST(ExpositionFigures, ARepeatedChannelOrVolumeGivesOneSeries) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    SensorChannelReading again = snapshot.sensors.channels[0];
    again.value = 99;
    snapshot.sensors.channels.append(again);
    snapshot.disk.volumes.append(snapshot.disk.volumes[0]);
    VolumeInfo startUpAgain;
    startUpAgain.id = QStringLiteral("/");
    startUpAgain.totalBytes = 5;
    snapshot.disk.volumes.append(startUpAgain);
    const QByteArrayList samples = sampleLines(textOf(snapshot));
    const auto count = [&](const QByteArray& series) {
        return std::count_if(samples.begin(), samples.end(),
                             [&](const QByteArray& line) { return line.startsWith(series + ' '); });
    };
    EXPECT_EQ(count("vantrel_sensor_temperature_celsius{chip=\"platform_nct6775_656\","
                    "sensor=\"channel0\",label=\"\"}"),
              1);
    EXPECT_FALSE(
        samples.contains("vantrel_sensor_temperature_celsius{chip=\"platform_nct6775_"
                         "656\",sensor=\"channel0\",label=\"\"} 99"));
    EXPECT_EQ(count("vantrel_disk_size_bytes{mountpoint=\"/home\"}"), 1);
    EXPECT_EQ(count("vantrel_disk_size_bytes{mountpoint=\"/\"}"), 1);
}

}  // namespace
