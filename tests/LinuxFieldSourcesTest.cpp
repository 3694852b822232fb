#include "fake_nvml/FakeNvml.h"
#include "helper/SensorCollector.h"
#include "helper/linux/EnergyPowerMeter.h"
#include "helper/linux/LinuxFieldSources.h"
#include "helper/linux/MachineFieldSources.h"
#include "support/HelperFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using namespace std::chrono_literals;

const std::string kNoNvml = "/nonexistent/libnvidia-ml.so.1";
const FakeNvmlDevice kNvidiaGpu{.busId = "0000:01:00.0", .celsius = 57, .milliwatts = 48250};

// A collector over the Linux sources of a machine tree, on virtual time.
struct LinuxMachine {
    explicit LinuxMachine(const std::filesystem::path& root, const std::string& nvml = kNoNvml,
                          bool clockWaits = true) {
        system.root = root;
        system.nvmlLibrary = nvml;
        system.clock = time.clock();
        if (!clockWaits) {
            system.clock.sleepUntil = nullptr;  // as the daemon runs
        }
        FieldSources sources = findLinuxFieldSources(system);
        hasSources = !sources.empty();
        collector = std::make_unique<SensorCollector>(std::move(sources),
                                                      SensorCollector::ChannelList(), system.clock);
    }
    SensorReading collect() const { return collector->collect(); }
    // The next collection reads the sources again instead of giving the kept reply.
    SensorReading collectAfterTheKeptReply() {
        time.advance(SensorCollector::kReplyLifetime);
        return collect();
    }

    FakeMonotonicTime time;
    LinuxSensorSystem system;
    std::unique_ptr<SensorCollector> collector;
    bool hasSources = false;
};

// Adds `microjoules` to a fixture's energy counter, as the hardware would.
void addEnergy(const SensorTree& tree, const std::string& zone, std::int64_t microjoules) {
    const auto file = std::filesystem::path("sys/class/powercap") / zone / "energy_uj";
    std::ifstream in(tree.root() / file);
    std::int64_t value = 0;
    in >> value;
    tree.write(file, std::to_string(value + microjoules) + "\n");
}

SensorReading absentExcept(
    std::initializer_list<std::pair<std::optional<double> SensorReading::*, double>> values,
    std::int64_t fanCount) {
    SensorReading reading;
    for (const auto& [field, value] : values) {
        reading.*field = value;
    }
    reading.fanCount = fanCount;
    return reading;
}

TEST(LinuxFieldSources, EachFixtureMachineGivesItsReading) {
    using R = SensorReading;
    const struct {
        std::string machine;
        std::vector<std::pair<std::string, std::int64_t>> energyPerSecond;
        bool fakeNvml;
        SensorReading expected;
    } cases[] = {
        {"intel-laptop",
         {{"intel-rapl:0", 12'500'000}, {"intel-rapl:1", 20'250'000}},
         false,
         absentExcept({{&R::cpuTempCelsius, 62.0},
                       {&R::ssdTempCelsius, 36.85},
                       {&R::ambientTempCelsius, 45.0},
                       {&R::ioTempCelsius, 50.0},
                       {&R::cpuPowerWatts, 12.5},
                       {&R::systemPowerWatts, 20.25},
                       {&R::fan0Rpm, 2873.0},
                       {&R::fan1Rpm, 0.0}},
                      2)},
        {"amd-desktop",
         {{"intel-rapl:0", 65'000'000}},
         false,
         absentExcept({{&R::cpuTempCelsius, 54.375},
                       {&R::gpuTempCelsius, 48.0},
                       {&R::ssdTempCelsius, 38.85},
                       {&R::memoryTempCelsius, 41.5},
                       {&R::ambientTempCelsius, 31.0},
                       {&R::cpuPowerWatts, 65.0},
                       {&R::gpuPowerWatts, 35.125},
                       {&R::fan0Rpm, 812.0},
                       {&R::fan1Rpm, 1205.0}},
                      3)},
        {"nvidia-desktop",
         {{"intel-rapl:0", 31'750'000}},
         true,
         absentExcept({{&R::cpuTempCelsius, 47.0},
                       {&R::gpuTempCelsius, 57.0},
                       {&R::ssdTempCelsius, 40.85},
                       {&R::memoryTempCelsius, 38.25},
                       {&R::ambientTempCelsius, 27.8},
                       {&R::cpuPowerWatts, 31.75},
                       {&R::gpuPowerWatts, 48.25},
                       {&R::fan0Rpm, 1100.0}},
                      1)},
        // No psys domain: the discharging battery gives the system's power; one fan only.
        {"amd-laptop-apu",
         {{"intel-rapl:0", 9'500'000}},
         false,
         absentExcept({{&R::cpuTempCelsius, 52.375},
                       {&R::gpuTempCelsius, 47.0},
                       {&R::ssdTempCelsius, 33.85},
                       {&R::ambientTempCelsius, 43.0},
                       {&R::cpuPowerWatts, 9.5},
                       {&R::gpuPowerWatts, 8.734},
                       {&R::systemPowerWatts, 7.215},
                       {&R::fan0Rpm, 2650.0}},
                      1)},
        // Only the thermal zones' own hwmon chips, which no source names: no source at all.
        {"arm-sbc", {}, false, absentExcept({}, 0)},
        // A Super I/O chip: five fans, the board's ambient and PCH sensors; no battery, no psys.
        {"superio-desktop",
         {{"intel-rapl:0", 48'000'000}},
         false,
         absentExcept({{&R::cpuTempCelsius, 46.0},
                       {&R::ssdTempCelsius, 38.85},
                       {&R::ambientTempCelsius, 34.0},
                       {&R::ioTempCelsius, 52.0},
                       {&R::cpuPowerWatts, 48.0},
                       {&R::fan0Rpm, 812.0},
                       {&R::fan1Rpm, 1205.0}},
                      5)},
        // thinkpad_acpi fans; the first of two SATA disks; the discharging battery's power.
        {"thinkpad-laptop",
         {{"intel-rapl:0", 7'250'000}},
         false,
         absentExcept({{&R::cpuTempCelsius, 53.0},
                       {&R::ssdTempCelsius, 36.0},
                       {&R::cpuPowerWatts, 7.25},
                       {&R::systemPowerWatts, 8.42},
                       {&R::fan0Rpm, 2890.0},
                       {&R::fan1Rpm, 2475.0}},
                      2)},
        // Only a cpu-thermal zone knows the processor's heat; the board's fan is a pwm-fan.
        {"arm-board-cpu-thermal",
         {},
         false,
         absentExcept({{&R::cpuTempCelsius, 47.236}, {&R::fan0Rpm, 3200.0}}, 1)},
    };
    for (const auto& c : cases) {
        SensorTree tree(c.machine);
        FakeNvml nvml(FAKE_NVML_PATH);
        nvml->devices.push_back(kNvidiaGpu);
        LinuxMachine machine(tree.root(), c.fakeNvml ? FAKE_NVML_PATH : kNoNvml);
        ASSERT_EQ(machine.hasSources, c.expected != SensorReading{}) << c.machine;
        for (const auto& [zone, microjoules] : c.energyPerSecond) {
            addEnergy(tree, zone, microjoules);
        }
        machine.time.advance(seconds(1));
        EXPECT_EQ(machine.collect(), c.expected) << c.machine;
        EXPECT_EQ(machine.time.sleeps, 0) << c.machine;
    }
}

TEST(LinuxFieldSources, ChipsAreKnownByNameNotNumber) {
    SensorTree tree("amd-desktop");
    const auto hwmon = tree.root() / "sys/class/hwmon";
    std::filesystem::rename(hwmon / "hwmon3", hwmon / "hwmon99");  // k10temp
    std::filesystem::rename(hwmon / "hwmon0", hwmon / "hwmon3");   // nvme
    std::filesystem::rename(hwmon / "hwmon99", hwmon / "hwmon0");
    LinuxMachine machine(tree.root());
    const SensorReading reading = machine.collect();
    EXPECT_EQ(reading.cpuTempCelsius, 54.375);
    EXPECT_EQ(reading.ssdTempCelsius, 38.85);
}

TEST(LinuxFieldSources, AnArmProcessorsThermalZoneGivesTheCpuTemperatureAfterHwmon) {
    using Zones = std::vector<std::pair<std::string, std::string>>;  // type, temp
    const struct {
        const char* name;
        Zones zones;
        bool coretemp;
        std::optional<double> expected;
    } cases[] = {
        {"cpu-thermal", {{"cpu-thermal", "48312"}}, false, 48.312},
        {"cpu_thermal", {{"gpu_thermal", "39000"}, {"cpu_thermal", "51000"}}, false, 51.0},
        {"hwmon first", {{"cpu-thermal", "48312"}}, true, 62.0},
        {"another zone's type", {{"soc-thermal", "45000"}}, false, std::nullopt},
        {"a zone reading 0", {{"cpu-thermal", "0"}, {"cpu_thermal", "44000"}}, false, 44.0},
        {"by number, not by name",
         {{"x", "1"},
          {"x", "1"},
          {"cpu-thermal", "47000"},
          {"x", "1"},
          {"x", "1"},
          {"x", "1"},
          {"x", "1"},
          {"x", "1"},
          {"x", "1"},
          {"x", "1"},
          {"cpu-thermal", "52000"}},
         false,
         47.0},
    };
    for (const auto& c : cases) {
        SensorTree tree;
        for (std::size_t i = 0; i < c.zones.size(); ++i) {
            const auto zone =
                std::filesystem::path("sys/class/thermal") / ("thermal_zone" + std::to_string(i));
            tree.write(zone / "type", c.zones[i].first + "\n");
            tree.write(zone / "temp", c.zones[i].second + "\n");
        }
        tree.write("sys/class/thermal/cooling_device0/type", "cpu-thermal\n");
        if (c.coretemp) {
            tree.write("sys/class/hwmon/hwmon0/name", "coretemp\n");
            tree.write("sys/class/hwmon/hwmon0/temp1_label", "Package id 0\n");
            tree.write("sys/class/hwmon/hwmon0/temp1_input", "62000\n");
        }
        LinuxMachine machine(tree.root());
        EXPECT_EQ(machine.collect().cpuTempCelsius, c.expected) << c.name;
    }
}

TEST(LinuxFieldSources, SuspendedGpuIsNotRead) {
    SensorTree tree("amd-desktop");
    tree.write("sys/class/hwmon/hwmon4/device/power/runtime_status", "suspended\n");
    LinuxMachine machine(tree.root());
    const SensorReading reading = machine.collect();
    EXPECT_EQ(reading.gpuTempCelsius, std::nullopt);
    EXPECT_EQ(reading.gpuPowerWatts, std::nullopt);
    EXPECT_EQ(reading.cpuTempCelsius, 54.375);
}

TEST(LinuxFieldSources, GarbageReadsAreNoValue) {
    SensorTree tree;
    const std::filesystem::path h = "sys/class/hwmon";
    tree.write(h / "hwmon0/name", "coretemp\n");
    tree.write(h / "hwmon0/temp1_label", "Package id 0\n");
    tree.write(h / "hwmon0/temp1_input", "-274000\n");
    tree.write(h / "hwmon1/name", "k10temp\n");
    tree.write(h / "hwmon1/temp1_label", "Tctl\n");
    tree.write(h / "hwmon1/temp1_input", "200001\n");
    tree.write(h / "hwmon2/name", "nvme\n");
    tree.write(h / "hwmon2/temp1_label", "Composite\n");
    tree.write(h / "hwmon2/temp1_input", "N/A\n");
    tree.write(h / "hwmon3/name", "amdgpu\n");
    tree.write(h / "hwmon3/temp1_label", "edge\n");
    tree.write(h / "hwmon3/temp1_input/unreadable", "");  // reading a directory fails
    tree.write(h / "hwmon3/temp2_label", "junction\n");
    tree.write(h / "hwmon3/temp2_input", "");  // ENODATA reads as nothing
    tree.write(h / "hwmon3/power1_average", "-5000000\n");
    tree.write(h / "hwmon3/power1_input", "12.5\n");
    tree.write(h / "hwmon4/name", "thinkpad\n");
    tree.write(h / "hwmon4/fan1_input", "65535000\n");
    tree.write(h / "hwmon4/fan2_input", "\n");
    tree.write(h / "hwmon5/name", "jc42\n");
    tree.write(h / "hwmon5/temp1_input", "99999999999999999999999\n");
    tree.write("sys/class/power_supply/BAT0/type", "Battery\n");
    tree.write("sys/class/power_supply/BAT0/status", "Discharging\n");
    tree.write("sys/class/power_supply/BAT0/temp", "2500\n");
    tree.write("sys/class/power_supply/BAT0/current_now", "abc\n");
    tree.write("sys/class/power_supply/BAT0/voltage_now", "11000000\n");
    tree.write("sys/class/powercap/intel-rapl:0/name", "package-0\n");
    tree.write("sys/class/powercap/intel-rapl:0/energy_uj", "garbage\n");
    tree.write("sys/class/powercap/intel-rapl:0/max_energy_range_uj", "-1\n");

    LinuxMachine machine(tree.root());
    ASSERT_TRUE(machine.hasSources);
    machine.time.advance(seconds(1));
    EXPECT_EQ(machine.collect(), absentExcept({}, 2)) << "both fans were found";
}

TEST(LinuxFieldSources, BatteryPowerOnlyWhileDischarging) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::optional<double> systemPower;
        std::optional<double> batteryTemperature;
    } cases[] = {
        {"power_now", {{"status", "Discharging"}, {"power_now", "9870000"}}, 9.87, {}},
        {"current x voltage",
         {{"status", "Discharging"},
          {"current_now", "1500000"},
          {"voltage_now", "12000000"},
          {"temp", "312"}},
         18.0,
         31.2},
        {"signed current",
         {{"status", "Discharging"}, {"current_now", "-1500000"}, {"voltage_now", "12000000"}},
         18.0,
         {}},
        {"charging", {{"status", "Charging"}, {"power_now", "25000000"}}, {}, {}},
        {"full", {{"status", "Full"}, {"power_now", "0"}, {"temp", "295"}}, {}, 29.5},
    };
    for (const auto& c : cases) {
        SensorTree tree;
        tree.write("sys/class/power_supply/AC/type", "Mains\n");
        tree.write("sys/class/power_supply/BAT1/type", "Battery\n");
        for (const auto& [file, text] : c.files) {
            tree.write(std::filesystem::path("sys/class/power_supply/BAT1") / file, text + "\n");
        }
        LinuxMachine machine(tree.root());
        ASSERT_TRUE(machine.hasSources) << c.name;
        const SensorReading reading = machine.collect();
        EXPECT_EQ(reading.systemPowerWatts, c.systemPower) << c.name;
        EXPECT_EQ(reading.batteryTempCelsius, c.batteryTemperature) << c.name;
    }
}

TEST(LinuxFieldSources, PeripheralBatteryIsNotTheSystems) {
    SensorTree tree;
    tree.write("sys/class/power_supply/hidpp_battery_0/type", "Battery\n");
    tree.write("sys/class/power_supply/hidpp_battery_0/scope", "Device\n");
    tree.write("sys/class/power_supply/hidpp_battery_0/status", "Discharging\n");
    tree.write("sys/class/power_supply/hidpp_battery_0/power_now", "50000\n");
    LinuxSensorSystem system;
    system.root = tree.root();
    const auto sources = findMachineFieldSources(system);
    ASSERT_TRUE(sources);
    EXPECT_TRUE(sources->empty());
}

TEST(LinuxFieldSources, RaplPowerWrapsAndRefreshesAtMostEvery100ms) {
    SensorTree tree("intel-laptop");
    const std::string range = "262143328850";
    tree.write("sys/class/powercap/intel-rapl:0/energy_uj", "262142328850\n");  // 1 J before wrap
    LinuxMachine machine(tree.root());
    tree.write("sys/class/powercap/intel-rapl:0/energy_uj", "2000000\n");
    machine.time.advance(seconds(1));
    EXPECT_EQ(machine.collect().cpuPowerWatts, 3.0);

    addEnergy(tree, "intel-rapl:0", 1'000'000);
    machine.time.advance(milliseconds(50));
    EXPECT_EQ(machine.collect().cpuPowerWatts, 3.0) << "within 100 ms: the same figure";
    machine.time.advance(milliseconds(50));
    EXPECT_EQ(machine.collect().cpuPowerWatts, 10.0) << "1 J over the 100 ms since the sample";
    EXPECT_EQ(machine.time.sleeps, 0);
}

TEST(LinuxFieldSources, FirstPowerFigureWaitsOutTheInterval) {
    SensorTree tree("amd-desktop");
    LinuxMachine machine(tree.root());
    const auto opened = machine.time.now;
    addEnergy(tree, "intel-rapl:0", 4'000'000);
    EXPECT_EQ(machine.collect().cpuPowerWatts, 40.0);
    EXPECT_EQ(machine.time.sleeps, 1);
    EXPECT_EQ(machine.time.now - opened, milliseconds(100));
}

// The daemon serves every client from one thread and never waits: power is no value until a
// counter has two samples 100 ms apart, and a client asking faster than that gets the figure
// it got before, never one over a shorter time.
TEST(LinuxFieldSources, TheDaemonAnswersAtOnceAndNeverFinerThan100ms) {
    SensorTree tree("intel-laptop");
    tree.write("sys/class/power_supply/BAT0/status", "Full\n");  // no battery figure to fall to
    LinuxMachine machine(tree.root(), kNoNvml, false);
    const struct {
        const char* step;
        milliseconds after;
        std::int64_t packageMicrojoules, platformMicrojoules;
        std::optional<double> cpuPower, systemPower;
    } steps[] = {
        {"the first request, right after start", 0ms, 0, 0, {}, {}},
        {"still under 100 ms since the first sample", 60ms, 500'000, 900'000, {}, {}},
        {"100 ms after the first sample", 40ms, 500'000, 1'100'000, 10.0, 20.0},
        {"asked again 1 ms later", 1ms, 700'000, 700'000, 10.0, 20.0},
        {"asked again 98 ms later", 98ms, 300'000, 300'000, 10.0, 20.0},
        {"100 ms after the second sample", 1ms, 0, 0, 10.0, 10.0},
        {"a second later", 1000ms, 2'000'000, 4'000'000, 2.0, 4.0},
    };
    for (const auto& step : steps) {
        machine.time.advance(step.after);
        addEnergy(tree, "intel-rapl:0", step.packageMicrojoules);
        addEnergy(tree, "intel-rapl:1", step.platformMicrojoules);
        const auto reading = machine.collect();
        EXPECT_EQ(reading.cpuPowerWatts, step.cpuPower) << step.step;
        EXPECT_EQ(reading.systemPowerWatts, step.systemPower) << step.step;
    }
    EXPECT_EQ(machine.time.sleeps, 0);
}

TEST(EnergyPowerMeter, CounterDeltas) {
    const struct {
        std::uint64_t previous, current, range;
        std::optional<std::uint64_t> delta;
    } cases[] = {
        {100, 350, 1000, 250},           {900, 100, 1000, 200},  {900, 100, 0, std::nullopt},
        {1200, 100, 1000, std::nullopt}, {900, 1100, 1000, 200}, {5, 5, 1000, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(energyDelta(c.previous, c.current, c.range), c.delta)
            << c.previous << " -> " << c.current;
    }
}

TEST(EnergyPowerMeter, UnreadableCounterStartsOver) {
    FakeMonotonicTime time;
    const MonotonicClock clock = time.clock();
    std::optional<std::uint64_t> counter = 1'000'000;
    int reads = 0;
    EnergyPowerMeter meter(
        [&] {
            ++reads;
            return counter;
        },
        0, clock);
    meter.prime();
    time.advance(seconds(2));
    counter = 5'000'000;
    EXPECT_EQ(meter.watts(), 2.0);
    EXPECT_EQ(reads, 2);
    time.advance(seconds(1));
    counter.reset();
    EXPECT_EQ(meter.watts(), std::nullopt);
    time.advance(seconds(1));
    counter = 9'000'000;
    EXPECT_EQ(meter.watts(), std::nullopt) << "no earlier sample survives a failed read";
    time.advance(seconds(1));
    counter = 10'000'000;
    EXPECT_EQ(meter.watts(), 1.0);
}

TEST(LinuxFieldSources, NvmlFiguresFollowTheLibraryAndTheGpusPowerState) {
    FakeNvml nvml(FAKE_NVML_PATH);
    ASSERT_NE(nvml.state, nullptr);
    nvml->devices.push_back(kNvidiaGpu);
    {
        SensorTree tree("nvidia-desktop");
        LinuxMachine machine(tree.root(), kNoNvml);
        EXPECT_EQ(machine.collect().gpuTempCelsius, std::nullopt)
            << "no library, no NVIDIA figures";
    }
    {
        SensorTree tree("nvidia-desktop");
        LinuxMachine machine(tree.root(), FAKE_NVML_PATH);
        EXPECT_TRUE(nvml->initialized);
        nvml->sensorResult = 999;
        EXPECT_EQ(machine.collect().gpuPowerWatts, std::nullopt) << "a failing query";
        nvml->sensorResult = 0;
        nvml->devices[0].celsius = 1000;
        EXPECT_EQ(machine.collectAfterTheKeptReply().gpuTempCelsius, std::nullopt)
            << "an absurd temperature";
        nvml->devices[0].celsius = 57;
        tree.write("sys/bus/pci/devices/0000:01:00.0/power/runtime_status", "suspended\n");
        const int callsAwake = nvml->deviceCalls;
        EXPECT_EQ(machine.collectAfterTheKeptReply().gpuTempCelsius, std::nullopt);
        EXPECT_EQ(nvml->deviceCalls, callsAwake) << "a sleeping GPU is left asleep";
        tree.write("sys/bus/pci/devices/0000:01:00.0/power/runtime_status", "active\n");
        EXPECT_EQ(machine.collectAfterTheKeptReply().gpuTempCelsius, 57.0);
    }
    EXPECT_FALSE(nvml->initialized) << "shut down with the sources";
    {
        SensorTree tree("amd-desktop");
        LinuxMachine machine(tree.root(), FAKE_NVML_PATH);
        EXPECT_EQ(nvml->initCalls, 1) << "not loaded without an NVIDIA display device";
    }
}

}  // namespace
