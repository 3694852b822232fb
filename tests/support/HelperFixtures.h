#pragma once

#include "helper/linux/MonotonicClock.h"

#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

inline const std::filesystem::path kSensorFixtures =
    std::filesystem::path(VANTREL_FIXTURES_DIR) / "sensors";

// Virtual monotonic time for the power meters: waiting moves the clock, nothing sleeps.
struct FakeMonotonicTime {
    MonotonicClock::TimePoint now{std::chrono::hours(1000)};
    int sleeps = 0;

    MonotonicClock clock() {
        MonotonicClock clock;
        clock.now = [this] { return now; };
        clock.sleepUntil = [this](MonotonicClock::TimePoint until) {
            ++sleeps;
            if (until > now) {
                now = until;
            }
        };
        return clock;
    }
    void advance(std::chrono::nanoseconds by) { now += by; }
};

// A writable copy of a fixture machine (or an empty root), removed with the object.
class SensorTree {
public:
    explicit SensorTree(const std::string& machine = {}) {
        if (!machine.empty()) {
            std::filesystem::copy(kSensorFixtures / machine, root(),
                                  std::filesystem::copy_options::recursive);
        }
    }
    std::filesystem::path root() const { return dir_.path().toStdString(); }

    void write(const std::filesystem::path& relative, const std::string& text) const {
        const auto path = root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

private:
    QTemporaryDir dir_;
};
