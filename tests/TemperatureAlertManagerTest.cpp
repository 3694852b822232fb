#include "recording/TemperatureAlertManager.h"

#include "support/AlertTestSupport.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
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

// The CPU reading of each poll, from second `from` to second `to` by `step`.
using Polls = std::vector<std::pair<int, std::optional<double>>>;
Polls every(int step, int from, int to, std::optional<double> celsius) {
    Polls polls;
    for (int at = from; at <= to; at += step) {
        polls.emplace_back(at, celsius);
    }
    return polls;
}
Polls joined(std::initializer_list<Polls> parts) {
    Polls all;
    for (const Polls& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A CPU threshold of 95 °C: the virtual seconds at which the CPU alert fires.
struct SustainCase {
    const char* name;
    int waitSeconds;
    Polls polls;
    std::vector<int> alertTimes;
};

// clang-format off
const std::vector<SustainCase> sustainCases = {
    {"at once fires on the first hot reading, as always", 0,
     joined({every(2, 0, 4, 90.0), every(2, 6, 20, 99.0)}), {6}},
    {"hot for 10 s fires at 10 s, not before", 10, every(1, 0, 20, 99.0), {10}},
    {"the threshold itself counts as hot", 10, every(5, 0, 10, 95.0), {10}},
    {"a dip below restarts the wait", 10,
     joined({every(2, 0, 8, 99.0), every(2, 10, 10, 94.0), every(2, 12, 30, 99.0)}), {22}},
    {"an absent reading restarts the wait", 10,
     joined({every(2, 0, 8, 99.0), every(2, 10, 10, std::nullopt), every(2, 12, 30, 99.0)}),
     {22}},
    {"a reading that is not a number restarts the wait", 30,
     joined({every(5, 0, 25, 99.0), every(5, 30, 30, notANumber), every(5, 35, 70, 99.0)}),
     {65}},
    {"the cooldown counts from the alert while the heat lasts", 60, every(10, 0, 700, 99.0),
     {60, 360, 660}},
    {"a restarted wait after an alert still keeps the cooldown", 10,
     joined({every(5, 0, 20, 99.0), every(5, 25, 25, 40.0), every(5, 30, 320, 99.0)}),
     {10, 310}},
};
// clang-format on

TEST_F(TemperatureAlertManagerTest, AnAlertWaitsForTheHeatToLast) {
    for (const auto& c : sustainCases) {
        std::vector<DesktopNotification> posted;
        FakeClock clock;
        AlertSettings settings;
        settings->setAlertSustainSeconds(c.waitSeconds);
        TemperatureAlertManager manager(clock, std::make_unique<RecordingNotifier>(posted));
        std::vector<int> alertTimes;
        int now = 0;
        for (const auto& [at, cpu] : c.polls) {
            clock.advance(std::chrono::seconds(at - now));
            now = at;
            const std::size_t before = posted.size();
            manager.checkAlerts(temperatures(cpu), *settings);
            if (posted.size() > before) {
                alertTimes.push_back(at);
            }
        }
        EXPECT_EQ(alertTimes, c.alertTimes) << c.name;
    }
}

// Readings are not watched while alerts are off, so the wait starts again when they are on.
TEST_F(TemperatureAlertManagerTest, SwitchingAlertsOffRestartsTheWait) {
    settings_->setAlertSustainSeconds(10);
    checkAt(0, temperatures(99.0));
    settings_->setAlertsEnabled(false);
    checkAt(5, temperatures(99.0));
    settings_->setAlertsEnabled(true);
    checkAt(10, temperatures(99.0));
    checkAt(19, temperatures(99.0));
    EXPECT_TRUE(posted_.empty());
    checkAt(20, temperatures(99.0));
    EXPECT_EQ(posted_.size(), 1u);
}

}  // namespace
