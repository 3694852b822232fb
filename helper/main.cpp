#include "helper/HelperDaemon.h"
#include "helper/SensorCollector.h"
#include "helper/SensorTestReport.h"
#include "helper/SmcReader.h"
#include "helper/linux/LinuxSmcService.h"

#include <cstdio>
#include <string_view>
#include <thread>

// OrvikHelper: with "--test" anywhere among the arguments, prints one sensor reading and
// exits; otherwise serves sensor requests on the socket systemd hands over.
int main(int argc, char** argv) {
    bool testMode = false;
    for (int i = 1; i < argc; ++i) {
        testMode = testMode || std::string_view(argv[i]) == "--test";
    }
    LinuxSmcSystem system;
    if (testMode) {
        // One reading and out: its power figures may wait for their second sample.
        system.clock.sleepUntil = [](MonotonicClock::TimePoint until) {
            std::this_thread::sleep_until(until);
        };
    }
    SmcReader reader([&system] { return findLinuxSmcService(system); });
    if (!reader.open()) {
        return 1;
    }
    if (testMode) {
        return runSensorTest(reader, stdout);
    }
    SensorCollector collector(reader);
    return runHelperDaemon([&collector] { return collector.collect(); });
}
