#include "fake_nvml/FakeNvml.h"
#include "linux_io/NumberedEntries.h"
#include "linux_monitor/LinuxProviders.h"
#include "platform/linux/gpu/DrmCardReader.h"
#include "platform/linux/gpu/LinuxAcceleratorSource.h"
#include "platform/linux/gpu/Rc6BusyReader.h"
#include "platform/linux/gpu/nvidia/NvidiaReader.h"
#include "platform/linux/gpu/nvidia/NvmlSession.h"
#include "platform/linux/pci/PciIdDatabase.h"
#include "platform/linux/pci/RuntimePowerStatus.h"
#include "providers/GpuProvider.h"
#include "support/FakeClock.h"
#include "support/FixtureTree.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;
namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(VANTREL_FIXTURES_DIR) / "gpu";
const std::string kFakeNvml = FAKE_NVML_PATH;

const QString kNavi21 = QStringLiteral("Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]");
const QString kNavi31 = QStringLiteral("Navi 31 [Radeon RX 7900 XT/7900 XTX/7900 GRE/7900M]");
const QString kIrisXe = QStringLiteral("Alder Lake-P GT2 [Iris Xe Graphics]");
const QString kRtx3080 = QStringLiteral("GA103M [GeForce RTX 3080 Ti Mobile]");
const QString kRembrandt = QStringLiteral("Rembrandt [Radeon 680M]");

AcceleratorReading reading(std::optional<QString> name, std::optional<double> busy,
                           std::optional<std::uint64_t> used = std::nullopt,
                           std::optional<std::uint64_t> total = std::nullopt) {
    return {std::move(name), busy, used, total};
}

std::vector<AcceleratorReading> drmReadings(const fs::path& root, const Clock& clock,
                                            std::vector<fs::path> pciIds) {
    DrmCardReader reader(root, clock);
    PciIdDatabase names(std::move(pciIds));
    reader.discover(names);
    return reader.read();
}

TEST(RuntimePowerStatus, OnlySuspendedAndSuspendingMeanHandsOff) {
    const std::vector<std::pair<const char*, bool>> cases{
        {"suspended\n", true},   {"suspending\n", true},   {"suspended", true}, {"active\n", false},
        {"resuming\n", false},   {"unsupported\n", false}, {"error\n", false},  {"", false},
        {"suspendedX\n", false},
    };
    for (const auto& [status, suspended] : cases) {
        EXPECT_EQ(isRuntimeSuspended(status), suspended) << '"' << status << '"';
    }
}

TEST(PciIdDatabase, FindsDeviceNamesButNotSubsystemsOrClasses) {
    PciIdDatabase names({kFixtures / "pci-ids/pci.ids"});
    const std::vector<std::tuple<std::uint16_t, std::uint16_t, std::optional<QString>>> cases{
        {0x1002, 0x73bf, kNavi21},
        {0x8086, 0x46a6, kIrisXe},
        {0x10de, 0x2420, kRtx3080},
        {0x8086, 0x5917, QStringLiteral("UHD Graphics 620 – Mobilgerät")},
        {0x1002, 0x0e3a, std::nullopt},  // a subsystem of 73bf, not a device of AMD
        {0x17aa, 0x22e4, std::nullopt},  // a subsystem line's vendor is no vendor
        {0x10de, 0x73bf, std::nullopt},  // another vendor's device number
        {0x1234, 0x1111, std::nullopt},
        {0x0003, 0x0000, std::nullopt},  // the class list is not read as vendors
    };
    for (const auto& [vendor, device, name] : cases) {
        EXPECT_EQ(names.modelName(vendor, device), name) << std::hex << vendor << ':' << device;
    }
}

TEST(PciIdDatabase, ReadsTheFirstInstalledFileLazilyAndOnlyOnce) {
    const FixtureTree copy;
    const fs::path hwdata = copy.root() / "hwdata/pci.ids";
    const fs::path misc = copy.root() / "misc/pci.ids";
    PciIdDatabase names({hwdata, misc});
    // Installed after the database was made but before the first lookup: found.
    copy.write(misc, "1002  AMD\n\t73bf  From misc\n");
    EXPECT_EQ(names.modelName(0x1002, 0x73bf), QStringLiteral("From misc"));
    // Read once: later changes to either file are not seen.
    copy.write(hwdata, "1002  AMD\n\t73bf  From hwdata\n\t744c  Later\n");
    EXPECT_EQ(names.modelName(0x1002, 0x73bf), QStringLiteral("From misc"));
    EXPECT_EQ(names.modelName(0x1002, 0x744c), std::nullopt);
    EXPECT_EQ(PciIdDatabase({hwdata, misc}).modelName(0x1002, 0x73bf),
              QStringLiteral("From hwdata"));
    EXPECT_EQ(PciIdDatabase({}).modelName(0x1002, 0x73bf), std::nullopt);
}

TEST(PciIdDatabase, ParsesSysfsIdentifiers) {
    const std::vector<std::pair<const char*, std::optional<std::uint16_t>>> cases{
        {"0x1002\n", 0x1002},     {"0x10DE", 0x10de},        {"0x0000\n", 0},
        {"1002\n", std::nullopt}, {"0x10020", std::nullopt}, {"0x12\n", std::nullopt},
        {"0xzz12", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [text, id] : cases) {
        EXPECT_EQ(parsePciId(text), id) << '"' << text << '"';
    }
}

TEST(DrmCardReader, ReadsAmdgpuAndI915CardsButNotConnectorsOrRenderNodes) {
    FakeClock clock;
    const fs::path root = kFixtures / "two-gpus";
    const std::vector<AcceleratorReading> expected{
        reading(kNavi21, 0.37, 2147483648u, 17163091968u),
        reading(kIrisXe, 0.0),  // first residency reading: nothing to compare with yet
    };
    EXPECT_EQ(drmReadings(root, clock, PciIdDatabase::standardLocations(root)), expected);
}

TEST(DrmCardReader, NamesCardsByDriverWithoutTheIdDatabase) {
    FakeClock clock;
    const std::vector<std::pair<std::string, std::vector<QString>>> cases{
        {"two-gpus", {QStringLiteral("amdgpu"), QStringLiteral("i915")}},
        {"intel-rc6", {QStringLiteral("i915")}},
        {"suspended-amdgpu", {QStringLiteral("amdgpu")}},
        {"no-gpu", {}},            // a firmware framebuffer is no accelerator
        {"nvidia-suspended", {}},  // left to the NVIDIA library
        {"amd-laptop-apu", {QStringLiteral("amdgpu")}},
        {"arm-sbc", {}},  // display and panfrost cards on the platform bus: no known driver
    };
    for (const auto& [fixture, expectedNames] : cases) {
        std::vector<QString> names;
        for (const auto& card : drmReadings(kFixtures / fixture, clock, {})) {
            names.push_back(card.name.value_or(QString()));
        }
        EXPECT_EQ(names, expectedNames) << fixture;
    }
}

TEST(DrmCardReader, LeavesASuspendedCardAloneAndReportsItIdle) {
    FakeClock clock;
    FixtureTree copy("gpu/suspended-amdgpu");
    const fs::path device = copy.root() / "sys/class/drm/card0/device";
    DrmCardReader reader(copy.root(), clock);
    PciIdDatabase names(PciIdDatabase::standardLocations(copy.root()));
    reader.discover(names);
    // Each step sets the runtime status, then reads. The statistics files hold 97 % and
    // memory figures: seeing any of them while suspended means the card was touched.
    const std::vector<std::pair<const char*, AcceleratorReading>> steps{
        {"suspended\n", reading(kNavi31, 0.0)},
        {"suspending\n", reading(kNavi31, 0.0)},
        {"active\n", reading(kNavi31, 0.97, 12345u, 67890u)},
        {"suspended\n", reading(kNavi31, 0.0)},
    };
    for (const auto& [status, expected] : steps) {
        copy.write(device / "power/runtime_status", status);
        EXPECT_EQ(reader.read(), std::vector{expected}) << status;
    }
}

TEST(DrmCardReader, MissingOrGarbledAmdgpuFiguresAreAbsent) {
    FakeClock clock;
    FixtureTree copy("gpu/two-gpus");
    const fs::path device = copy.root() / "sys/class/drm/card0/device";
    copy.write(device / "gpu_busy_percent", "137\n");  // held at 100 %
    copy.write(device / "mem_info_vram_used", "-1\n");
    fs::remove(device / "mem_info_vram_total");
    const auto cards = drmReadings(copy.root(), clock, {});
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0], reading(QStringLiteral("amdgpu"), 1.0));
}

struct Rc6Step {
    milliseconds advance;
    std::string residencyMs;
    std::optional<double> busy;
};

TEST(Rc6BusyReader, BusyIsTheShareOfTimeOutOfRc6) {
    FakeClock clock;
    FixtureTree copy("gpu/intel-rc6");
    const fs::path card = copy.root() / "sys/class/drm/card0";
    ASSERT_EQ(Rc6BusyReader::residencyFile(card), card / "power/rc6_residency_ms");
    Rc6BusyReader reader(card, clock);
    const std::vector<Rc6Step> steps{
        {milliseconds(0), "1000\n", 0.0},      // first reading
        {milliseconds(1000), "1250\n", 0.75},  // 250 ms idle in a second
        {milliseconds(1000), "2250\n", 0.0},   // idle throughout
        {milliseconds(500), "2250\n", 1.0},    // never idle
        {milliseconds(0), "2250\n", 0.0},      // no time has passed
        {milliseconds(2000), "2750\n", 0.75},
        {milliseconds(1000), "1800\n", 0.0},  // went backwards (counter reset)
        {milliseconds(1000), "2901\n", 0.0},  // counted slightly ahead of the interval
        {milliseconds(1000), "garbage\n", std::nullopt},
        {milliseconds(1000), "3000\n", 0.0},  // starts afresh after a failed read
        {milliseconds(2000), "3500\n", 0.75},
    };
    for (const auto& step : steps) {
        clock.advance(step.advance);
        copy.write(card / "power/rc6_residency_ms", step.residencyMs);
        const auto busy = reader.read();
        ASSERT_EQ(busy.has_value(), step.busy.has_value()) << step.residencyMs;
        if (busy) {
            EXPECT_NEAR(*busy, *step.busy, 1e-9) << step.residencyMs;
        }
    }
}

TEST(Rc6BusyReader, ASuspendedCardStartsAfreshWhenItWakes) {
    FakeClock clock;
    FixtureTree copy("gpu/two-gpus");
    const fs::path card = copy.root() / "sys/class/drm/card1";
    DrmCardReader reader(copy.root(), clock);
    PciIdDatabase names({});
    reader.discover(names);
    struct Step {
        const char* status;
        const char* residencyMs;
        double busy;
    };
    const std::vector<Step> steps{
        {"active", "1000", 0.0}, {"active", "1500", 0.5}, {"suspended", "1500", 0.0},
        {"active", "1600", 0.0},  // after two seconds asleep: no interval to judge
        {"active", "1700", 0.9},
    };
    for (const auto& step : steps) {
        copy.write(card / "device/power/runtime_status", std::string(step.status) + "\n");
        copy.write(card / "gt/gt0/rc6_residency_ms", std::string(step.residencyMs) + "\n");
        const auto cards = reader.read();
        ASSERT_EQ(cards.size(), 2u);
        ASSERT_TRUE(cards[1].busyFraction.has_value());
        EXPECT_NEAR(*cards[1].busyFraction, step.busy, 1e-9)
            << step.status << ' ' << step.residencyMs;
        clock.advance(milliseconds(1000));
    }
}

// The reader loads the same library by the same path, so both see one state.
class NvidiaLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nvml.state, nullptr) << dlerror(); }
    FakeNvml nvml{kFakeNvml};
};

TEST_F(NvidiaLibrary, ReadsDevicesByPciAddressAndShutsDownAtTheEnd) {
    nvml->devices.push_back(
        {"0000:01:00.0", "NVIDIA GeForce RTX 4090", 45, 3ull << 30, 24ull << 30});
    nvml->devices.push_back(
        {"0000:02:00.0", "Tesla T4", 130, 0, 16ull << 30});  // beyond 100 % is held at 100
    {
        auto session = NvmlSession::open(kFakeNvml);
        ASSERT_NE(session, nullptr);
        const std::vector<std::pair<std::string, std::optional<AcceleratorReading>>> cases{
            {"0000:02:00.0", reading(QStringLiteral("Tesla T4"), 1.0, 0u, 16ull << 30)},
            {"0000:01:00.0",
             reading(QStringLiteral("NVIDIA GeForce RTX 4090"), 0.45, 3ull << 30, 24ull << 30)},
            {"0000:03:00.0", std::nullopt},
        };
        for (int round = 0; round < 2; ++round) {
            for (const auto& [address, expected] : cases) {
                EXPECT_EQ(session->readDevice(address), expected) << address;
            }
        }
        EXPECT_EQ(nvml->initCalls, 1);
        EXPECT_EQ(nvml->shutdownCalls, 0);
    }
    EXPECT_EQ(nvml->shutdownCalls, 1);
}

TEST_F(NvidiaLibrary, ADeviceWithoutANameIsNamedAfterTheDriver) {
    nvml->devices.push_back({"0000:01:00.0", "NVIDIA A100", 10, 1, 2});
    nvml->nameResult = 3;
    auto session = NvmlSession::open(kFakeNvml);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->readDevice("0000:01:00.0"), reading(QStringLiteral("nvidia"), 0.1, 1u, 2u));
    nvml->nameResult = 0;  // a name that turns up later is taken
    EXPECT_EQ(session->readDevice("0000:01:00.0"),
              reading(QStringLiteral("NVIDIA A100"), 0.1, 1u, 2u));
}

// A poll's read, once the lookup it started has finished: the next read shows its result.
std::vector<AcceleratorReading> settledRead(NvidiaReader& reader) {
    reader.read();
    reader.waitUntilIdle();
    auto readings = reader.read();
    reader.waitUntilIdle();
    return readings;
}

TEST_F(NvidiaLibrary, AMissingOrFailingLibraryGivesNoFiguresAndIsNotRetried) {
    nvml->devices.push_back({"0000:01:00.0", "NVIDIA GeForce GTX 1080", 50, 1, 2});
    struct Case {
        std::string what;
        std::string library;
        int initResult;
    };
    const std::vector<Case> cases{
        {"absent", (kFixtures / "no-such-libnvidia-ml.so.1").string(), 0},
        {"not a library", (kFixtures / "pci-ids/pci.ids").string(), 0},
        {"no driver loaded", kFakeNvml, 9},
    };
    AcceleratorReading pciNameOnly = reading(kRtx3080, std::nullopt);
    pciNameOnly.drivesDisplay = true;
    for (const auto& c : cases) {
        nvml->initResult = c.initResult;
        const int initsBefore = nvml->initCalls;
        NvidiaReader reader(kFixtures / "nvidia-drives-display", c.library);
        PciIdDatabase names(PciIdDatabase::standardLocations(kFixtures / "nvidia-drives-display"));
        reader.discover(names);
        EXPECT_EQ(settledRead(reader), std::vector{pciNameOnly}) << c.what;
        EXPECT_EQ(settledRead(reader), std::vector{pciNameOnly}) << c.what;
        EXPECT_LE(nvml->initCalls - initsBefore, 1) << c.what;
    }
    EXPECT_EQ(nvml->shutdownCalls, 0);  // a library that never initialised is not shut down
    EXPECT_EQ(nvml->deviceCalls, 0);
}

TEST_F(NvidiaLibrary, ASuspendedNvidiaGpuIsNotWokenByTheLibrary) {
    nvml->devices.push_back({"0000:01:00.0", "NVIDIA GeForce RTX 3080 Ti Laptop GPU", 20, 1, 2});
    FixtureTree copy("gpu/nvidia-suspended");
    const fs::path status =
        copy.root() / "sys/bus/pci/drivers/nvidia/0000:01:00.0/power/runtime_status";
    NvidiaReader reader(copy.root(), kFakeNvml);
    PciIdDatabase names(PciIdDatabase::standardLocations(copy.root()));
    reader.discover(names);
    const auto awake =
        reading(QStringLiteral("NVIDIA GeForce RTX 3080 Ti Laptop GPU"), 0.2, 1u, 2u);
    const auto asleep = reading(kRtx3080, 0.0);
    struct Step {
        const char* status;
        AcceleratorReading expected;
        int inits;
        int shutdowns;
    };
    const std::vector<Step> steps{
        {"suspended\n", asleep, 0, 0}, {"active\n", awake, 1, 0},
        {"active\n", awake, 1, 0},     {"suspending\n", asleep, 1, 1},  // the session is let go
        {"active\n", awake, 2, 1},
    };
    for (const auto& step : steps) {
        copy.write(status, step.status);
        const int deviceCallsBefore = nvml->deviceCalls;
        EXPECT_EQ(settledRead(reader), std::vector{step.expected}) << step.status;
        EXPECT_EQ(nvml->initCalls, step.inits) << step.status;
        EXPECT_EQ(nvml->shutdownCalls, step.shutdowns) << step.status;
        if (step.expected.busyFraction == 0.0) {
            EXPECT_EQ(nvml->deviceCalls, deviceCallsBefore) << step.status;
        }
    }
}

TEST_F(NvidiaLibrary, EveryFieldComesFromTheCardDrivingTheDisplayAndNoPollWaits) {
    // The Intel card is found first; the NVIDIA card drives the display.
    nvml->devices.push_back(
        {"0000:01:00.0", "NVIDIA GeForce RTX 4070", 60, 5ull << 30, 12ull << 30});
    FakeClock clock;
    auto source = std::make_unique<LinuxAcceleratorSource>(
        clock, kFixtures / "nvidia-drives-display", kFakeNvml);
    LinuxAcceleratorSource& accelerators = *source;
    GpuProvider provider(std::move(source));
    // The first poll does not wait for the library: the card by its PCI name, no figures yet.
    EXPECT_EQ(provider.sample(), (GpuStats{0.0, 0, 0, kRtx3080, 2}));
    accelerators.waitUntilIdle();
    EXPECT_EQ(provider.sample(), (GpuStats{0.6, 5ull << 30, 12ull << 30,
                                           QStringLiteral("NVIDIA GeForce RTX 4070"), 2}));
}

TEST(LinuxGpuProvider, FixtureMachinesGiveTheirRecords) {
    FakeClock clock;
    const std::string noLibrary = (kFixtures / "no-such-libnvidia-ml.so.1").string();
    const std::vector<std::pair<std::string, GpuStats>> cases{
        {"no-gpu", GpuStats{}},
        // Neither card says it drives the display: the first one found, all of it.
        {"two-gpus", {0.37, 2147483648u, 17163091968u, kNavi21, 2}},
        // The second card drives the display: none of the first card's figures.
        {"two-gpus-display-on-second", {0.0, 0, 0, kIrisXe, 2}},
        {"nvidia-drives-display", {0.0, 0, 0, kRtx3080, 2}},
        {"suspended-amdgpu", {0.0, 0, 0, kNavi31, 1}},
        {"intel-rc6", {0.0, 0, 0, QStringLiteral("i915"), 1}},
        {"nvidia-suspended", {0.0, 0, 0, kRtx3080, 1}},
        {"amd-laptop-apu", {0.14, 318767104u, 536870912u, kRembrandt, 1}},
        {"arm-sbc", GpuStats{}},
    };
    for (const auto& [fixture, expected] : cases) {
        EXPECT_EQ(makeLinuxGpuProvider(clock, kFixtures / fixture, noLibrary)->sample(), expected)
            << fixture;
    }
}

}  // namespace
