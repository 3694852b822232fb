#include "hardware/SensorChannelList.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A machine of four hwmon chips with 25 channels each (ten labelled temperatures with limits,
// five fans, ten voltages), in a private folder removed afterwards.
class GeneratedMachine {
public:
    static constexpr int kChips = 4;

    GeneratedMachine() {
        char folder[] = "/tmp/vantrel-bench-sensors-XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            return;  // no machine: the list is empty and the figure shows it
        }
        root_ = folder;
        for (int chip = 0; chip < kChips; ++chip) {
            const auto device = "devices/platform/chip." + std::to_string(chip);
            const auto hwmon = root_ / "sys/class/hwmon" / ("hwmon" + std::to_string(chip));
            std::filesystem::create_directories(root_ / "sys" / device);
            std::filesystem::create_directories(hwmon);
            std::filesystem::create_directory_symlink("../../../" + device, hwmon / "device");
            write(hwmon / "name", "chip" + std::to_string(chip));
            for (int n = 1; n <= 10; ++n) {
                const auto temp = hwmon / ("temp" + std::to_string(n));
                write(temp.string() + "_input", std::to_string(30000 + n * 1000));
                write(temp.string() + "_label", "Sensor " + std::to_string(n));
                write(temp.string() + "_max", "90000");
                write(temp.string() + "_crit", "100000");
                write(hwmon / ("in" + std::to_string(n) + "_input"), std::to_string(1000 + n));
            }
            for (int n = 1; n <= 5; ++n) {
                write(hwmon / ("fan" + std::to_string(n) + "_input"), std::to_string(900 + n));
            }
        }
    }
    ~GeneratedMachine() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    GeneratedMachine(const GeneratedMachine&) = delete;
    GeneratedMachine& operator=(const GeneratedMachine&) = delete;

    const std::filesystem::path& root() const { return root_; }

private:
    static void write(const std::filesystem::path& file, const std::string& value) {
        std::ofstream(file) << value << '\n';
    }

    std::filesystem::path root_;
};

// What the helper pays per request for the list: one read of every channel.
void BM_SensorChannelListRead(benchmark::State& state) {
    const GeneratedMachine machine;
    SensorChannelList list(machine.root());
    std::size_t channels = 0;
    for (auto _ : state) {
        const auto read = list.read();
        channels = read.size();
        benchmark::DoNotOptimize(read.data());
    }
    state.counters["channels"] = static_cast<double>(channels);
}
BENCHMARK(BM_SensorChannelListRead)->Unit(benchmark::kMicrosecond);

// What the helper pays once, when it starts: finding the chips, channels and zones.
void BM_SensorChannelListDiscovery(benchmark::State& state) {
    const GeneratedMachine machine;
    for (auto _ : state) {
        SensorChannelList list(machine.root());
        benchmark::DoNotOptimize(&list);
    }
}
BENCHMARK(BM_SensorChannelListDiscovery)->Unit(benchmark::kMicrosecond);

}  // namespace
