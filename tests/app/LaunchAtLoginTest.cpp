#include "app/shell/LaunchAtLogin.h"
#include "core/LoginItem.h"
#include "support/MonitorHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeLoginItem final : public LoginItem {
public:
    FakeLoginItem() : LoginItem(QString(), QString()) {}
    bool setEnabled(bool enabled) override {
        requests.push_back(enabled);
        return false;  // the desktop refuses: the setting keeps the request all the same
    }
    std::vector<bool> requests;
};

TEST(LaunchAtLoginTest, EachChangeOfTheSettingWritesTheAutostartEntryOnce) {
    MonitorHarness harness;
    FakeLoginItem loginItem;
    followLaunchAtLogin(harness.settings, loginItem);
    const struct {
        bool set;
        std::vector<bool> requests;
    } steps[] = {{false, {}}, {true, {true}}, {true, {true}}, {false, {true, false}}};
    for (const auto& step : steps) {
        harness.settings.setLaunchAtLogin(step.set);
        EXPECT_EQ(loginItem.requests, step.requests) << step.set;
        EXPECT_EQ(harness.settings.launchAtLogin(), step.set);
    }
}

}  // namespace
