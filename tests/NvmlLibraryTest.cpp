#include "fake_nvml/FakeNvml.h"
#include "hardware/NvmlLibrary.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const std::string kFakeNvml = FAKE_NVML_PATH;

class NvmlLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nvml.state, nullptr) << dlerror(); }
    FakeNvml nvml{kFakeNvml};
};

// The application opens the library and asks by PCI address; the helper loads it for the
// first GPU. Both through the one loader.
TEST_F(NvmlLibraryTest, GivesADevicesFiguresByPciAddressAndTheFirstGpus) {
    nvml->devices.push_back({"0000:01:00.0", "NVIDIA GeForce RTX 4090", 45, 3, 24, 61, 312500});
    nvml->devices.push_back({"0000:02:00.0", "Tesla T4", 10, 0, 16, 40, 70000});
    {
        const auto library = NvmlLibrary::load(kFakeNvml);
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(library->gpuTemperatureCelsius(), 61.0);
        EXPECT_EQ(library->gpuPowerWatts(), 312.5);
        EXPECT_FALSE(library->deviceByPciBusId("0000:03:00.0").has_value());
        const auto t4 = library->deviceByPciBusId("0000:02:00.0");
        ASSERT_TRUE(t4.has_value());
        EXPECT_EQ(library->name(*t4), "Tesla T4");
        EXPECT_EQ(library->utilization(*t4).value().gpu, 10u);
        EXPECT_EQ(library->memory(*t4).value().total, 16u);
        EXPECT_EQ(library->temperatureCelsius(*t4), 40.0);
        EXPECT_EQ(library->powerWatts(*t4), 70.0);
        nvml->sensorResult = 3;
        nvml->nameResult = 3;
        EXPECT_EQ(library->gpuTemperatureCelsius(), std::nullopt);
        EXPECT_EQ(library->powerWatts(*t4), std::nullopt);
        EXPECT_EQ(library->name(*t4), std::nullopt);
    }
    EXPECT_EQ(nvml->initCalls, 1);
    EXPECT_FALSE(nvml->initialized) << "shut down with the object";
}

TEST_F(NvmlLibraryTest, WithoutAGpuOnlyOpeningSucceeds) {
    {
        const auto opened = NvmlLibrary::open(kFakeNvml);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->gpuTemperatureCelsius(), std::nullopt);
    }
    EXPECT_EQ(NvmlLibrary::load(kFakeNvml), nullptr);
    EXPECT_EQ(nvml->initCalls, 2);
    EXPECT_EQ(nvml->shutdownCalls, 2) << "a library without a GPU is shut down again";
}

}  // namespace
