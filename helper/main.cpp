#include "hardware/SensorChannelList.h"
#include "helper/HelperDaemon.h"
#include "helper/SensorCollector.h"
#include "helper/SensorTestReport.h"
#include "helper/linux/MachineFieldSources.h"

#include <cstdio>
#include <memory>
#include <string_view>
#include <thread>

// OrvikHelper: with "--test" anywhere among the arguments, prints one sensor reading and
// exits; otherwise serves sensor requests on the socket systemd hands over.
int main(int argc, char** argv) {
    bool testMode = false;
    for (int i = 1; i < argc; ++i) {
        testMode = testMode || std::string_view(argv[i]) == "--test";
    }
    LinuxSensorSystem system;
    if (testMode) {
        // One reading and out: its power figures may wait for their second sample.
        system.clock.sleepUntil = [](MonotonicClock::TimePoint until) {
            std::this_thread::sleep_until(until);
        };
    }
    // The machine's chips and zones, walked once for the named fields and the list alike.
    const HwmonInventory hwmon(system.root);
    const ThermalZones zones(system.root);
    auto sources = findMachineFieldSources(system, hwmon, zones);
    if (!sources) {
        return 1;
    }
    auto channelList = std::make_shared<SensorChannelList>(hwmon, zones);
    if (sources->empty() && channelList->empty()) {
        std::printf("[OrvikHelper] no sensor found on this machine\n");
        std::fflush(stdout);
        return 1;
    }
    SensorCollector collector(
        std::move(*sources), [channelList] { return channelList->read(); }, system.clock);
    if (testMode) {
        return runSensorTest(collector, stdout);
    }
    return runHelperDaemon([&collector] { return collector.collect(); });
}
