#include "ExpositionText.h"
#include "FixtureSnapshot.h"
#include "exposition/Exposition.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

const QByteArray kText = renderExposition(fixtureSnapshot(), ExpositionFormat::prometheusText);
const QByteArray kOpenMetrics = renderExposition(fixtureSnapshot(), ExpositionFormat::openMetrics);

TEST(ExpositionRendering, PromtoolHasNothingToSayAboutTheTextFormat) {
    const PromtoolVerdict verdict = promtoolCheckMetrics(kText);
    ASSERT_TRUE(verdict.ran) << "promtool did not run from " PROMTOOL_PATH
                                " (scripts/install-deps.sh installs it)";
    EXPECT_EQ(verdict.exitCode, 0) << verdict.output.toStdString();
    EXPECT_EQ(verdict.output.trimmed(), QString()) << kText.toStdString();
}

TEST(ExpositionRendering, OpenMetricsIsWellFormed) {
    EXPECT_EQ(openMetricsProblems(kOpenMetrics), QStringList()) << kOpenMetrics.toStdString();
    for (const char* header : {"# TYPE vantrel_build info", "# TYPE vantrel_polls counter",
                               "# TYPE vantrel_network_receive_bytes counter",
                               "# TYPE vantrel_sensor_energy_joules counter"}) {
        EXPECT_TRUE(hasLineStarting(kOpenMetrics, header)) << header;
    }
}

TEST(ExpositionRendering, TheTextFormatHasNoOpenMetricsLines) {
    EXPECT_TRUE(kText.endsWith('\n'));
    EXPECT_FALSE(kText.contains("# EOF"));
    EXPECT_TRUE(hasLineStarting(kText, "# TYPE vantrel_build_info gauge"));
    EXPECT_TRUE(hasLineStarting(kText, "# TYPE vantrel_polls_total counter"));
}

TEST(ExpositionRendering, BothFormatsCarryTheSameSamples) {
    EXPECT_EQ(sampleLines(kText), sampleLines(kOpenMetrics));
}

// The families named in the first column of the metrics list's tables.
QSet<QByteArray> documentedFamilies() {
    QFile list(QStringLiteral(METRICS_LIST_PATH));
    EXPECT_TRUE(list.open(QIODevice::ReadOnly)) << METRICS_LIST_PATH;
    QSet<QByteArray> families;
    static const QRegularExpression name(QStringLiteral("`(vantrel_[a-z0-9_]+)`"));
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (line.startsWith("| `vantrel_")) {
            const QString firstCell = QString::fromUtf8(line.split('|').value(1));
            for (const auto& match : name.globalMatch(firstCell)) {
                families.insert(match.captured(1).toUtf8());
            }
        }
    }
    return families;
}

TEST(ExpositionRendering, AFullSnapshotHasEveryDocumentedFamilyAndNoOther) {
    QSet<QByteArray> rendered;
    for (const QByteArray& line : kText.split('\n')) {
        if (line.startsWith("# HELP ")) {
            rendered.insert(line.split(' ').value(2));
        }
    }
    const QSet<QByteArray> documented = documentedFamilies();
    const auto sorted = [](const QSet<QByteArray>& names) {
        std::set<std::string> list;
        for (const QByteArray& name : names) {
            list.insert(name.toStdString());
        }
        return list;
    };
    EXPECT_EQ(documented.size(), 61);
    EXPECT_EQ(sorted(QSet<QByteArray>(documented).subtract(rendered)), std::set<std::string>())
        << "documented but not rendered";
    EXPECT_EQ(sorted(QSet<QByteArray>(rendered).subtract(documented)), std::set<std::string>())
        << "rendered but not documented";
}

TEST(ExpositionRendering, FiguresAreWrittenExactly) {
    const char* expected[] = {
        "vantrel_build_info{version=\"1.4.0\"} 1",
        "vantrel_polls_total 1234",
        "vantrel_sensor_helper_up 1",
        "vantrel_cpu_core_usage_ratio{cpu=\"1\"} 0.125",
        "vantrel_memory_total_bytes 16611110912",
        "vantrel_memory_pressure_level 1",
        "vantrel_disk_size_bytes{mountpoint=\"/\"} 502468108288",
        "vantrel_disk_available_bytes{mountpoint=\"/media/usb stick\"} 1000000",
        "vantrel_disk_used_bytes{mountpoint=\"/\"} 201326592000",
        "vantrel_disk_write_bytes_per_second 65536.25",
        "vantrel_network_receive_bytes_per_second{interface=\"wlp2s0\"} 125000.5",
        "vantrel_network_receive_bytes_total 7500000000",
        "vantrel_network_transmit_bytes_total 120000000",
        "vantrel_gpu_usage_ratio{card=\"0\",name=\"NVIDIA GeForce GTX 1650\"} 0.42",
        "vantrel_battery_charge_ratio 0.87",
        "vantrel_battery_charging 1",
        "vantrel_battery_time_remaining_seconds 2100",
        "vantrel_battery_health_ratio 0.91",
        "vantrel_battery_cycles 312",
        "vantrel_thermal_state 1",
        "vantrel_thermal_throttle_seconds_total 42.5",
        "vantrel_temperature_celsius{name=\"ssd\"} 38.85",
        "vantrel_power_watts{name=\"system\"} 31",
        "vantrel_fan_speed_rpm{fan=\"1\"} 1980",
        "vantrel_sensor_temperature_celsius{chip=\"platform_nct6775_656\",sensor=\"channel0\","
        "label=\"\"} 40.125",
        "vantrel_sensor_fan_speed_rpm{chip=\"platform_nct6775_656\",sensor=\"channel1\","
        "label=\"Channel 1\"} 41.125",
        "vantrel_sensor_temperature_critical_celsius{chip=\"platform_nct6775_656\","
        "sensor=\"channel6\",label=\"Channel 6\"} 100",
        "vantrel_session_peak_network_receive_bytes_per_second 2500000",
        "vantrel_session_worst_thermal_state 2",
        "vantrel_session_start_time_seconds 1765000000.25",
        "vantrel_top_process_cpu_ratio{rank=\"1\",name=\"worker-0\"} 1.5",
        "vantrel_top_process_memory_bytes{rank=\"5\",name=\"firefox-4\"} 899996000",
    };
    const QByteArrayList samples = sampleLines(kText);
    for (const char* line : expected) {
        const QByteArray series = QByteArray(line).first(QByteArray(line).lastIndexOf(' '));
        EXPECT_TRUE(samples.contains(line))
            << "expected " << line << "\n     got " << sampleOf(kText, series).toStdString();
    }
}

class DoubleRoundTrip : public testing::TestWithParam<double> {};

TEST_P(DoubleRoundTrip, ReadsBackTheSameDouble) {
    MetricsSnapshot snapshot = fixtureSnapshot();
    snapshot.cpu.loadAvg.one = GetParam();
    const QByteArray line =
        sampleOf(renderExposition(snapshot, ExpositionFormat::prometheusText), "vantrel_load1");
    const QByteArray number = line.sliced(line.indexOf(' ') + 1);
    EXPECT_FALSE(number.contains('e') && std::fabs(GetParam()) < 1e15 &&
                 std::trunc(GetParam()) == GetParam())
        << "an integral figure with an exponent: " << line.toStdString();
    bool read = false;
    EXPECT_EQ(number.toDouble(&read), GetParam()) << line.toStdString();
    EXPECT_TRUE(read) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Values, DoubleRoundTrip,
                         testing::Values(1.0 / 3, 0.1, 2.0 / 3 * 1e-9, 123456789.123456789, 1e300,
                                         -0.5, 4e15, 8'000'000'000'000.0, 0.0, 5e-324));

}  // namespace
