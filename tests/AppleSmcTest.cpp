#include "helper/SensorCollector.h"
#include "helper/applesmc/AppleSmcClient.h"
#include "helper/applesmc/AppleSmcFieldSources.h"
#include "helper/applesmc/SmcParameterBlock.h"
#include "helper/applesmc/SysfsAccess.h"
#include "helper/linux/MachineFieldSources.h"
#include "support/FakeSmc.h"
#include "support/HelperFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <thread>
#include <vector>

namespace {

const std::filesystem::path kMac = kSensorFixtures / "intel-mac-applesmc";

// Stands in for the applesmc driver: a number written to key_at_index selects which key the
// key_at_index_* files show. The fixture keeps each index's files under applesmc-keys/<index>,
// exactly as the driver shows them when that index is selected.
class AppleSmcDriverEmulator final : public SysfsAccess {
public:
    explicit AppleSmcDriverEmulator(std::filesystem::path root) : root_(std::move(root)) {}

    std::optional<std::string> read(const std::filesystem::path& path,
                                    std::size_t maxBytes) override {
        const auto name = path.filename().string();
        if (path.parent_path() == device() && name.starts_with("key_at_index_")) {
            auto text = readSysfsFile(
                root_ / "applesmc-keys" / std::to_string(selected.load()) / name, maxBytes);
            if (name == "key_at_index_data" && afterDataRead) {
                afterDataRead();
            }
            return text;
        }
        return readSysfsFile(path, maxBytes);
    }

    int write(const std::filesystem::path& path, std::string_view text) override {
        if (path != device() / "key_at_index") {
            return EACCES;
        }
        if (writeError != 0) {
            return writeError;
        }
        const auto index = parseInteger(text);
        const auto count = readIntegerFile(device() / "key_count");
        if (!index || !count || *index < 0 || *index >= *count) {
            return EINVAL;
        }
        selected = static_cast<int>(*index);
        return 0;
    }

    std::filesystem::path device() const { return root_ / kAppleSmcDevice; }

    std::atomic<int> selected = 0;
    int writeError = 0;
    std::function<void()> afterDataRead;

private:
    std::filesystem::path root_;
};

struct EmulatedMac {
    explicit EmulatedMac(std::filesystem::path root = kMac) {
        auto owned = std::make_unique<AppleSmcDriverEmulator>(root);
        driver = owned.get();
        std::unique_ptr<AppleSmcClient> opened;
        openResult = AppleSmcClient::open(driver->device(), std::move(owned), opened);
        client = std::shared_ptr<AppleSmcClient>(std::move(opened));
    }
    SmcParameterBlock call(const char* key, std::uint8_t command, int* result = nullptr) {
        SmcParameterBlock request;
        request.key = fourCharCode(key);
        request.command = command;
        SmcBlockBytes output{};
        const int status = client->callStructMethod(2, toBlockBytes(request), output);
        if (result) {
            *result = status;
        }
        return fromBlockBytes(output);
    }

    AppleSmcDriverEmulator* driver = nullptr;
    std::shared_ptr<AppleSmcClient> client;
    int openResult = -1;
};

// What the emulated Mac's keys give.
SensorReading theMacsReading() {
    SensorReading expected;
    expected.cpuTempCelsius = 58.25;     // TC0E reads 0 and is passed over for TC0P
    expected.batteryTempCelsius = 30.5;  // TB1T before TB0T
    expected.ssdTempCelsius = 40.75;     // TH0a
    expected.memoryTempCelsius = 45.25;  // TM0P
    expected.ambientTempCelsius = 28.5;  // TA0P
    expected.ioTempCelsius = 47.0;       // TW0P
    expected.cpuPowerWatts = 14.75;      // PCPC is "sp96", not decoded; PSTR stands in
    expected.systemPowerWatts = 14.75;   // PSTR
    expected.chargerPowerWatts = 60.0;   // PDTR
    expected.fan0Rpm = 2000.0;           // F0Ac, fpe2
    expected.fanCount = 1;               // FNum, type "ui8" with a zero fourth byte
    // TCGC has type "fp2e": no GPU temperature.
    return expected;
}

TEST(AppleSmc, TheMacsKeysGiveItsReading) {
    EmulatedMac mac;
    ASSERT_EQ(mac.openResult, 0);
    EXPECT_EQ(mac.client->keyCount(), 18u);
    auto reader = std::make_shared<SmcReader>(forwardingLookup(mac.client));
    ASSERT_TRUE(reader->open());
    EXPECT_EQ(SensorCollector(appleSmcFieldSources(reader), {}, {}).collect(), theMacsReading());
}

TEST(AppleSmc, KeyInfoCarriesTheDriversTypeAndLength) {
    EmulatedMac mac;
    const struct {
        const char* key;
        std::uint32_t type;
        std::uint32_t size;
    } cases[] = {
        {"FNum", 0x75693800, 1},
        {"PSTR", fourCharCode("flt "), 4},
        {"TC0P", fourCharCode("sp78"), 2},
    };
    for (const auto& c : cases) {
        int result = -1;
        const SmcParameterBlock info = mac.call(c.key, 9, &result);
        EXPECT_EQ(result, 0) << c.key;
        EXPECT_EQ(info.dataType, c.type) << c.key;
        EXPECT_EQ(info.dataSize, c.size) << c.key;
    }
    int result = 0;
    mac.call("TC0D", 9, &result);
    EXPECT_NE(result, 0) << "a key the SMC does not have";
    EXPECT_EQ(appleSmcTypeCode(""), 0u);
}

TEST(AppleSmc, WithoutRootTheSelectorCannotBeWritten) {
    SmcReader reader([] {
        return std::unique_ptr<SmcService>(std::make_unique<FakeSmcService>(nullptr, [] {
            auto driver = std::make_unique<AppleSmcDriverEmulator>(kMac);
            driver->writeError = EACCES;
            const auto device = driver->device();
            std::unique_ptr<AppleSmcClient> client;
            return AppleSmcClient::open(device, std::move(driver), client);
        }()));
    });
    testing::internal::CaptureStdout();
    EXPECT_FALSE(reader.open());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[SMCReader] IOServiceOpen failed: -13\n");
}

TEST(AppleSmc, ImplausibleKeyCountIsRefused) {
    for (const std::string count : {"lots", "-1", "9999999"}) {
        SensorTree tree;
        tree.write(std::filesystem::path(kAppleSmcDevice) / "key_count", count + "\n");
        std::unique_ptr<AppleSmcClient> client;
        EXPECT_EQ(
            AppleSmcClient::open(tree.root() / kAppleSmcDevice,
                                 std::make_unique<AppleSmcDriverEmulator>(tree.root()), client),
            -EIO)
            << count;
        EXPECT_EQ(client, nullptr);
    }
}

TEST(AppleSmc, ASelectorMovedByAnotherProcessFailsTheRead) {
    EmulatedMac mac;
    mac.driver->afterDataRead = [driver = mac.driver] { driver->selected = 0; };
    int result = 0;
    mac.call("TC0P", 5, &result);
    EXPECT_NE(result, 0);
    mac.driver->afterDataRead = nullptr;
    EXPECT_EQ(mac.call("TC0P", 5, &result).bytes[0], 0x3A);
    EXPECT_EQ(result, 0);
}

TEST(AppleSmc, ConcurrentReadsEachGetTheirOwnKey) {
    EmulatedMac mac;
    SmcReader reader(forwardingLookup(mac.client));
    ASSERT_TRUE(reader.open());
    std::atomic<int> wrong = 0;
    std::vector<std::thread> threads;
    const std::vector<std::pair<const char*, double>> keys{
        {"TC0P", 58.25}, {"TB1T", 30.5}, {"F0Ac", 2000.0}, {"PSTR", 14.75}};
    for (const auto& [key, value] : keys) {
        threads.emplace_back([&reader, &wrong, key, value] {
            for (int i = 0; i < 200; ++i) {
                if (reader.readKey(key) != value) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
}

TEST(AppleSmc, TheDriverIsPreferredOverLinuxSensors) {
    // A copy: opening writes the selector file, and the tree also has a coretemp chip.
    SensorTree tree("intel-mac-applesmc");
    LinuxSensorSystem system;
    system.root = tree.root();
    auto sources = findMachineFieldSources(system);
    ASSERT_TRUE(sources.has_value());
    EXPECT_EQ(sources->of(SensorField::cpuTemperature).size(), 10u) << "the SMC's CPU keys";
}

}  // namespace
