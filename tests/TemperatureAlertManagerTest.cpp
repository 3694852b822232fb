#include "recording/TemperatureAlertManager.h"

#include "support/AlertTestSupport.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

class RecordingNotifier final : public DesktopNotifier {
public:
    explicit RecordingNotifier(std::vector<DesktopNotification>& sink) : sink_(sink) {}
    void post(const DesktopNotification& notification) override { sink_.push_back(notification); }

private:
    std::vector<DesktopNotification>& sink_;
};

SensorStats temperatures(std::optional<double> cpu, std::optional<double> gpu = {},
                         std::optional<double> ssd = {}) {
    SensorStats stats;
    stats.cpuTempCelsius = cpu;
    stats.gpuTempCelsius = gpu;
    stats.ssdTempCelsius = ssd;
    return stats;
}

std::vector<QString> titlesOf(const std::vector<DesktopNotification>& notifications) {
    std::vector<QString> titles;
    for (const auto& notification : notifications) {
        titles.push_back(notification.title);
    }
    return titles;
}

class TemperatureAlertManagerTest : public ::testing::Test {
protected:
    // Checks `stats` at `atSeconds` of virtual time since the test began.
    void checkAt(int atSeconds, const SensorStats& stats) {
        clock_.advance(std::chrono::seconds(atSeconds) - elapsed_);
        elapsed_ = std::chrono::seconds(atSeconds);
        manager_.checkAlerts(stats, *settings_);
    }

    std::chrono::seconds elapsed_{0};

    std::vector<DesktopNotification> posted_;
    FakeClock clock_;
    AlertSettings settings_;
    TemperatureAlertManager manager_{clock_, std::make_unique<RecordingNotifier>(posted_)};
};

// One poll against fresh cooldowns: which readings alert, and with which exact texts.
struct ThresholdCase {
    const char* name;
    SensorStats stats;
    double cpuThreshold;
    double gpuThreshold;
    double ssdThreshold;
    std::vector<DesktopNotification> expected;
};

// clang-format off
const std::vector<ThresholdCase> thresholdCases = {
    {"cpu at its threshold alerts", temperatures(95.0), 95.0, 95.0, 70.0,
     {{"CPU Temperature Alert", "95.0 °C exceeds 95 °C threshold"}}},
    {"just below the threshold is quiet", temperatures(94.99, 94.99, 69.99), 95.0, 95.0, 70.0, {}},
    {"all three in one poll, cpu then gpu then ssd", temperatures(101.0, 96.5, 80.25),
     95.0, 95.0, 70.0,
     {{"CPU Temperature Alert", "101.0 °C exceeds 95 °C threshold"},
      {"GPU Temperature Alert", "96.5 °C exceeds 95 °C threshold"},
      {"SSD Temperature Alert", "80.2 °C exceeds 70 °C threshold"}}},
    {"c-style rounding: exact halves go to even", temperatures(97.25, {}, 60.5),
     90.5, 95.0, 59.5,
     {{"CPU Temperature Alert", "97.2 °C exceeds 90 °C threshold"},
      {"SSD Temperature Alert", "60.5 °C exceeds 60 °C threshold"}}},
    {"threshold with decimals is shown rounded", temperatures(88.06), 87.6, 95.0, 70.0,
     {{"CPU Temperature Alert", "88.1 °C exceeds 88 °C threshold"}}},
    {"absent readings never alert, whatever the threshold", temperatures({}, {}, {}),
     -1000.0, -1000.0, -1000.0, {}},
    {"not-a-number readings never alert", temperatures(notANumber, notANumber, notANumber),
     -1000.0, -1000.0, -1000.0, {}},
    {"a not-a-number threshold never alerts", temperatures(500.0), notANumber, 95.0, 70.0, {}},
};
// clang-format on

TEST_F(TemperatureAlertManagerTest, AlertsAtOrAboveThresholdWithExactTexts) {
    for (const auto& c : thresholdCases) {
        std::vector<DesktopNotification> posted;
        AlertSettings settings(c.cpuThreshold, c.gpuThreshold, c.ssdThreshold);
        TemperatureAlertManager manager(clock_, std::make_unique<RecordingNotifier>(posted));
        manager.checkAlerts(c.stats, *settings);
        EXPECT_EQ(posted, c.expected) << c.name;
    }
}

// A sensor that stays hot, polled at a fixed period: the virtual times of its notifications.
struct CooldownCase {
    double pollPeriodSeconds;
    double untilSeconds;
    std::vector<double> alertTimes;
};

const std::vector<CooldownCase> cooldownCases = {
    {7.0, 910.0, {0.0, 301.0, 602.0, 903.0}},
    {299.0, 1200.0, {0.0, 598.0, 1196.0}},
    {300.0, 900.0, {0.0, 300.0, 600.0, 900.0}},
};

TEST_F(TemperatureAlertManagerTest, SensorThatStaysHotAlertsOncePerCooldown) {
    for (const auto& c : cooldownCases) {
        std::vector<DesktopNotification> posted;
        FakeClock clock;
        TemperatureAlertManager manager(clock, std::make_unique<RecordingNotifier>(posted));
        std::vector<double> alertTimes;
        const auto period = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(c.pollPeriodSeconds));
        for (int poll = 0; poll * c.pollPeriodSeconds <= c.untilSeconds; ++poll) {
            const std::size_t before = posted.size();
            manager.checkAlerts(temperatures(99.0), *settings_);
            if (posted.size() > before) {
                alertTimes.push_back(clock.elapsedSeconds());
            }
            clock.advance(period);
        }
        EXPECT_EQ(alertTimes, c.alertTimes) << "polls every " << c.pollPeriodSeconds << " s";
    }
}

TEST_F(TemperatureAlertManagerTest, CoolingDownDoesNotRestartTheCooldownThatEndsToTheNanosecond) {
    checkAt(0, temperatures(99.0));
    checkAt(10, temperatures(40.0));
    checkAt(20, temperatures(99.0));
    clock_.advance(280s - 1ns);
    manager_.checkAlerts(temperatures(99.0), *settings_);
    EXPECT_EQ(posted_.size(), 1u);
    clock_.advance(1ns);
    manager_.checkAlerts(temperatures(99.0), *settings_);
    EXPECT_EQ(posted_.size(), 2u);
}

TEST_F(TemperatureAlertManagerTest, EachSensorHasItsOwnCooldown) {
    const std::vector<std::pair<int, SensorStats>> polls = {
        {0, temperatures(99.0)},                // cpu alerts
        {100, temperatures(99.0, 99.0)},        // gpu alerts; cpu in its cooldown
        {300, temperatures(99.0, 99.0, 99.0)},  // cpu again, ssd for the first time
        {399, temperatures(99.0, 99.0, 99.0)},  // nothing
        {400, temperatures(99.0, 99.0, 99.0)},  // gpu again
    };
    for (const auto& [at, stats] : polls) {
        checkAt(at, stats);
    }
    EXPECT_EQ(titlesOf(posted_),
              (std::vector<QString>{"CPU Temperature Alert", "GPU Temperature Alert",
                                    "CPU Temperature Alert", "SSD Temperature Alert",
                                    "GPU Temperature Alert"}));
}

TEST_F(TemperatureAlertManagerTest, DisabledAlertsNeitherNotifyNorTouchCooldowns) {
    settings_->setAlertsEnabled(false);
    checkAt(0, temperatures(99.0, 99.0, 99.0));
    EXPECT_TRUE(posted_.empty());

    // Nothing was recorded while disabled, so enabling alerts notifies at once.
    settings_->setAlertsEnabled(true);
    checkAt(10, temperatures(99.0));
    EXPECT_EQ(titlesOf(posted_), std::vector<QString>{"CPU Temperature Alert"});

    // Disabled polls neither alert nor restart the cpu cooldown that began at 10 s.
    settings_->setAlertsEnabled(false);
    checkAt(200, temperatures(99.0));
    checkAt(308, temperatures(99.0));
    settings_->setAlertsEnabled(true);
    checkAt(309, temperatures(99.0));
    EXPECT_EQ(posted_.size(), 1u);
    checkAt(310, temperatures(99.0));
    EXPECT_EQ(posted_.size(), 2u);
}

TEST_F(TemperatureAlertManagerTest, ChangedThresholdAppliesFromTheNextPoll) {
    checkAt(0, temperatures(90.0, 90.0));
    EXPECT_TRUE(posted_.empty());
    settings_->setAlertCpuTempThreshold(85.0);
    checkAt(2, temperatures(90.0, 90.0));
    EXPECT_EQ(posted_, (std::vector<DesktopNotification>{
                           {"CPU Temperature Alert", "90.0 °C exceeds 85 °C threshold"}}));
}

}  // namespace
