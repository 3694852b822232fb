#include "platform/GpuSource.h"
#include "providers/GpuProvider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace Key = AcceleratorKey;

QVariantMap withStatistics(const QVariantMap& statistics) {
    return {{Key::statistics, statistics}};
}

class ListSource final : public AcceleratorSource {
public:
    explicit ListSource(QList<QVariantMap> accelerators) : accelerators_(std::move(accelerators)) {}
    QList<QVariantMap> readAccelerators() override {
        ++reads;
        return accelerators_;
    }
    int reads = 0;

private:
    QList<QVariantMap> accelerators_;
};

GpuStats combined(const QList<QVariantMap>& accelerators) {
    return GpuProvider(std::make_unique<ListSource>(QList<QVariantMap>{})).combine(accelerators);
}

TEST(GpuProvider, ReadsOneAcceleratorsStatisticsByTheFirstUsableKey) {
    constexpr auto most = std::numeric_limits<std::uint64_t>::max();
    const struct {
        std::string what;
        QVariantMap statistics;
        GpuStats expected;  // utilization, used and total memory
    } cases[] = {
        {"percentage", {{Key::deviceUtilization, 37}}, {0.37, 0, 0}},
        {"exactly 1 is all busy, not 1 %", {{Key::deviceUtilization, 1}}, {1.0, 0, 0}},
        {"a fraction stays", {{Key::deviceUtilization, 0.42}}, {0.42, 0, 0}},
        {"a fraction as float", {{Key::deviceUtilization, QVariant::fromValue(0.5f)}}, {0.5, 0, 0}},
        {"unsigned percentage", {{Key::gpuActivity, 80u}}, {0.8, 0, 0}},
        {"only the renderer key", {{Key::rendererUtilization, 12}}, {0.12, 0, 0}},
        {"first key wins",
         {{Key::deviceUtilization, 10}, {Key::gpuActivity, 90}, {Key::rendererUtilization, 70}},
         {0.10, 0, 0}},
        {"text is passed over",
         {{Key::deviceUtilization, QStringLiteral("55")}, {Key::rendererUtilization, 20}},
         {0.20, 0, 0}},
        {"a Boolean is not a number", {{Key::deviceUtilization, true}}, {0, 0, 0}},
        {"negative share counts as idle", {{Key::deviceUtilization, -5}}, {0, 0, 0}},
        {"above 100 % is held at 100 %", {{Key::deviceUtilization, 250}}, {1.0, 0, 0}},
        {"NaN", {{Key::deviceUtilization, std::numeric_limits<double>::quiet_NaN()}}, {0, 0, 0}},
        {"used from a later key", {{Key::vramUsed, qulonglong{5000}}}, {0, 5000, 0}},
        {"first memory key wins",
         {{Key::inUseSystemMemory, 100}, {Key::vramUsedDotted, 200}, {Key::vramUsed, 300}},
         {0, 100, 0}},
        {"floating-point memory is passed over",
         {{Key::inUseSystemMemory, 1.5e9}, {Key::vramUsed, 7}},
         {0, 7, 0}},
        {"negative memory counts as 0", {{Key::inUseSystemMemory, qlonglong{-4096}}}, {0, 0, 0}},
        {"largest unsigned count", {{Key::vramTotal, qulonglong{most}}}, {0, 0, most}},
        {"total keys in order",
         {{Key::vramTotalDotted, qlonglong{8} << 30}, {Key::vramTotal, 1}},
         {0, 0, std::uint64_t{8} << 30}},
        {"allocated system memory",
         {{Key::allocSystemMemory, qlonglong{3} << 30}},
         {0, 0, std::uint64_t{3} << 30}},
        {"unrelated keys only", {{QStringLiteral("Temperature(C)"), 60}}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        GpuStats expected = c.expected;
        expected.acceleratorCount = 1;
        EXPECT_EQ(combined({withStatistics(c.statistics)}), expected) << c.what;
    }
}

struct SeveralCase {
    std::string what;
    QList<QVariantMap> accelerators;
    GpuStats expected;
};

TEST(GpuProvider, EveryFieldComesFromOneCard) {
    const QVariantMap amd{{Key::name, QStringLiteral("Navi 21")},
                          {Key::statistics, QVariantMap{{Key::deviceUtilization, 0.2},
                                                        {Key::vramUsed, qulonglong{6000}},
                                                        {Key::vramTotal, qulonglong{16000}}}}};
    const QVariantMap intel{{Key::name, QStringLiteral("Iris Xe")},
                            {Key::statistics, QVariantMap{{Key::deviceUtilization, 0.5}}}};
    QVariantMap intelDisplay = intel;
    intelDisplay.insert(Key::drivesDisplay, true);
    QVariantMap intelNotReallyDisplay = intel;
    intelNotReallyDisplay.insert(Key::drivesDisplay, QStringLiteral("true"));
    const std::vector<SeveralCase> cases{
        {"none", {}, GpuStats{}},
        {"no card drives the display: the first",
         {amd, intel},
         {0.2, 6000, 16000, QStringLiteral("Navi 21"), 2}},
        {"order decides", {intel, amd}, {0.5, 0, 0, QStringLiteral("Iris Xe"), 2}},
        {"the display card, though found second, and none of the other's memory",
         {amd, intelDisplay},
         {0.5, 0, 0, QStringLiteral("Iris Xe"), 2}},
        {"a display flag that is not a Boolean is ignored",
         {amd, intelNotReallyDisplay},
         {0.2, 6000, 16000, QStringLiteral("Navi 21"), 2}},
        {"a card without statistics gives its name and zeros",
         {{{Key::name, QStringLiteral("llvmpipe")}}, amd},
         {0, 0, 0, QStringLiteral("llvmpipe"), 2}},
        {"statistics of another type are skipped, the name is not",
         {{{Key::name, QStringLiteral("Odd")}, {Key::statistics, QStringLiteral("busy")}}},
         {0, 0, 0, QStringLiteral("Odd"), 1}},
        {"a name that is not text is ignored",
         {{{Key::name, 42}, {Key::statistics, QVariantMap{{Key::deviceUtilization, 30}}}}},
         {0.3, 0, 0, QStringLiteral("GPU"), 1}},
        {"an empty dictionary is still a card found, with nothing known",
         {QVariantMap{}, amd},
         {0, 0, 0, QStringLiteral("GPU"), 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(combined(c.accelerators), c.expected) << c.what;
    }
}

TEST(GpuProvider, SamplesItsSourceEveryPoll) {
    auto source = std::make_unique<ListSource>(
        QList<QVariantMap>{withStatistics({{Key::deviceUtilization, 64}})});
    ListSource& list = *source;
    GpuProvider provider(std::move(source));
    EXPECT_DOUBLE_EQ(provider.sample().utilization, 0.64);
    EXPECT_DOUBLE_EQ(provider.sample().utilization, 0.64);
    EXPECT_EQ(list.reads, 2);
}

TEST(GpuProvider, ReadingsBecomeTheDictionaryTheProviderReads) {
    const std::vector<std::pair<AcceleratorReading, GpuStats>> cases{
        {{}, GpuStats{}},
        {{QStringLiteral("Navi 21"), 0.37, std::uint64_t{2} << 30, std::uint64_t{16} << 30},
         {0.37, std::uint64_t{2} << 30, std::uint64_t{16} << 30, QStringLiteral("Navi 21")}},
        // A driver's 1 % arrives as 0.01 and is not taken for 100 %.
        {{std::nullopt, 0.01, std::nullopt, std::nullopt}, {0.01, 0, 0, QStringLiteral("GPU")}},
        {{std::nullopt, 1.0, std::nullopt, std::nullopt}, {1.0, 0, 0, QStringLiteral("GPU")}},
        {{QStringLiteral("amdgpu"), std::nullopt, std::nullopt, std::uint64_t{8} << 30},
         {0, 0, std::uint64_t{8} << 30, QStringLiteral("amdgpu")}},
    };
    // The display flag survives the trip: a display card listed second is the one reported.
    AcceleratorReading display{QStringLiteral("Iris Xe"), 0.5, std::nullopt, std::nullopt};
    display.drivesDisplay = true;
    EXPECT_EQ(combined({acceleratorProperties({QStringLiteral("Navi 21"), 0.9, 1u, 2u}),
                        acceleratorProperties(display)}),
              (GpuStats{0.5, 0, 0, QStringLiteral("Iris Xe"), 2}));
    for (auto [reading, expected] : cases) {
        expected.acceleratorCount = 1;
        EXPECT_EQ(combined({acceleratorProperties(reading)}), expected)
            << expected.name.toStdString() << ' ' << expected.utilization;
    }
}

}  // namespace
