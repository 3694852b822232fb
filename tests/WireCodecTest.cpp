#include "shared/HelperReplies.h"
#include "shared/KeyedArchive.h"
#include "shared/SensorChannelList.h"
#include "shared/WireFrame.h"
#include "support/RawFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

SensorReading reading(double cpu, double gpu, double fan0, double fan1, std::int64_t fans) {
    SensorReading r;
    r.cpuTempCelsius = cpu;
    r.gpuTempCelsius = gpu;
    r.fan0Rpm = fan0;
    r.fan1Rpm = fan1;
    r.fanCount = fans;
    return r;
}

SensorReading everyFieldDistinct() {
    return SensorReading{41.5, 38.25, 30.0, 36.5,   44.0,   25.0, 50.5, 12.75,
                         6.5,  40.0,  65.0, 1200.0, 1350.5, 2,    {}};
}

SensorChannel channel(std::string chip, std::string sensor, SensorKind kind,
                      std::optional<double> value) {
    return SensorChannel{std::move(chip), std::move(sensor), "", "", kind, value, {}, {}, {}};
}

// A desktop's list: every kind, limits present or not, texts with and without labels.
std::vector<SensorChannel> desktopChannels() {
    return {
        {"pci0000:00_0000:00:18_3", "temp1", "k10temp", "Tctl", SensorKind::temperature, 61.25,
         std::nullopt, 95.0, 100.0},
        {"platform_nct6775_656", "fan2", "nct6779", "CPU Fan \xc3\xa9", SensorKind::fan, 1180.0,
         0.0, std::nullopt, std::nullopt},
        {"platform_nct6775_656", "in0", "nct6779", "", SensorKind::voltage, 1.016, 0.0, 1.74,
         std::nullopt},
        channel("platform_nct6775_656", "curr1", SensorKind::current, -0.5),
        channel("pci0000:00_0000:00:02_0", "power1", SensorKind::power, std::nullopt),
        channel("pci0000:00_0000:00:02_0", "energy1", SensorKind::energy, 123456.789),
        {"thermal_zone0", "temp", "x86_pkg_temp", "", SensorKind::temperature, 55.0, std::nullopt,
         std::nullopt, 105.0},
    };
}

// The longest texts a channel may carry, with every value present.
SensorChannel largestChannel(std::size_t index) {
    const auto padded = [index](char fill) {
        auto text = std::to_string(index);
        text.resize(wire::kMaxChannelText, fill);
        return text;
    };
    return {padded('c'), padded('s'), padded('n'), padded('l'), SensorKind::energy,
            1.0,         2.0,         3.0,         4.0};
}

TEST(WireCodec, SensorReadingsSurviveTheRoundTrip) {
    auto withChannels = everyFieldDistinct();
    withChannels.channels = desktopChannels();
    auto onlyChannels = SensorReading{};
    onlyChannels.channels = desktopChannels();
    auto largest = everyFieldDistinct();
    for (std::size_t i = 0; i < wire::kMaxChannels; ++i) {
        largest.channels.push_back(largestChannel(i));
    }
    const std::vector<SensorReading> cases{
        SensorReading{},  // nothing measured: every field absent, no fans, no channels
        everyFieldDistinct(),
        reading(0.0, -0.0, 0.0, -1.0, 1),
        reading(std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                -1e300, 1e-300, std::numeric_limits<std::int64_t>::max()),
        reading(99.9, -1.0, -1.0, -1.0, std::numeric_limits<std::int64_t>::min()),
        reading(70.0, 60.0, 2000.0, 0.0, -3),
        withChannels,
        onlyChannels,
        largest,
    };
    for (const auto& original : cases) {
        const auto frame = wire::encodeSensorReply(original);
        EXPECT_LE(frame.size(), wire::kMaxFrameSize);
        const auto decoded = wire::decodeSensorReply(frame);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, original);
        EXPECT_EQ(std::signbit(decoded->gpuTempCelsius.value_or(1.0)),
                  std::signbit(original.gpuTempCelsius.value_or(1.0)));
    }
}

TEST(WireCodec, NumbersThatAreNotFiniteTravelAsAbsent) {
    auto original = everyFieldDistinct();
    original.cpuTempCelsius = kNaN;
    original.systemPowerWatts = kInfinity;
    original.fan1Rpm = -kInfinity;
    original.channels = {
        {"chip", "temp1", "", "", SensorKind::temperature, kNaN, kInfinity, -kInfinity, 90.0}};
    const auto decoded = wire::decodeSensorReply(wire::encodeSensorReply(original));
    ASSERT_TRUE(decoded);
    auto expected = everyFieldDistinct();
    expected.cpuTempCelsius = expected.systemPowerWatts = expected.fan1Rpm = std::nullopt;
    expected.channels = {{"chip", "temp1", "", "", SensorKind::temperature, {}, {}, {}, 90.0}};
    EXPECT_EQ(*decoded, expected);
}

TEST(WireCodec, TheEncoderWritesOnlyWhatTheDecoderTakes) {
    const std::string sixtyThree(63, 'a');
    auto kept = [](std::string chip, std::string label) {
        return SensorChannel{std::move(chip),
                             "temp1",
                             "",
                             std::move(label),
                             SensorKind::temperature,
                             40.0,
                             {},
                             {},
                             {}};
    };
    struct Case {
        const char* name;
        std::vector<SensorChannel> given;
        std::vector<SensorChannel> expected;
    };
    std::vector<SensorChannel> tooMany(wire::kMaxChannels + 1, kept("chip", ""));
    tooMany.back().chip = "last";
    const std::vector<Case> cases{
        {"control characters dropped",
         {kept("ch\nip\x7f", "CPU\t\x01 Fan")},
         {kept("chip", "CPU Fan")}},
        {"cut at 64 bytes",
         {kept(std::string(70, 'c'), sixtyThree + "xy")},
         {kept(std::string(64, 'c'), sixtyThree + "x")}},
        {"cut before a character that would be split",
         {kept("chip", sixtyThree + "\xc3\xa9")},
         {kept("chip", sixtyThree)}},
        {"a chip of control characters only is skipped",
         {kept("\x01\x02", ""), kept("b", "")},
         {kept("b", "")}},
        {"an empty sensor is skipped",
         {SensorChannel{"chip", "", "", "", SensorKind::fan, 1.0, {}, {}, {}}, kept("b", "")},
         {kept("b", "")}},
        {"an unknown kind is skipped",
         {SensorChannel{"chip", "x1", "", "", static_cast<SensorKind>(7), 1.0, {}, {}, {}}},
         {}},
        {"the list stops at its limit", tooMany,
         std::vector<SensorChannel>(wire::kMaxChannels, kept("chip", ""))},
    };
    for (const auto& c : cases) {
        SensorReading original;
        original.channels = c.given;
        const auto decoded = wire::decodeSensorReply(wire::encodeSensorReply(original));
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(decoded->channels, c.expected) << c.name;
    }
}

TEST(WireCodec, LayoutIsPinnedByteForByte) {
    EXPECT_EQ(wire::encodeRequest(wire::Request::fetchSensors),
              (Bytes{'V', 'T', 'R', 'L', 2, 1, 1, 0, 12, 0, 0, 0}));
    EXPECT_EQ(wire::encodeRequest(wire::Request::helperVersion),
              (Bytes{'V', 'T', 'R', 'L', 2, 1, 2, 0, 12, 0, 0, 0}));
    EXPECT_EQ(*wire::encodeVersionReply("2"),
              (Bytes{'V', 'T', 'R', 'L', 2, 2, 2, 0, 14, 0, 0, 0, 1, '2'}));

    const auto r = everyFieldDistinct();
    const auto expected = RawFrame::sensorReply(14)
                              .real("cpuT", *r.cpuTempCelsius)
                              .real("gpuT", *r.gpuTempCelsius)
                              .real("batT", *r.batteryTempCelsius)
                              .real("ssdT", *r.ssdTempCelsius)
                              .real("memT", *r.memoryTempCelsius)
                              .real("ambT", *r.ambientTempCelsius)
                              .real("ioT", *r.ioTempCelsius)
                              .real("cpuP", *r.cpuPowerWatts)
                              .real("gpuP", *r.gpuPowerWatts)
                              .real("sysP", *r.systemPowerWatts)
                              .real("chgP", *r.chargerPowerWatts)
                              .real("f0", *r.fan0Rpm)
                              .real("f1", *r.fan1Rpm)
                              .integer("fc", r.fanCount)
                              .channelCount(0)
                              .bytes();
    EXPECT_EQ(wire::encodeSensorReply(r), expected);

    // Fields without a value have no entry; each channel writes only the values it has.
    SensorReading sparse;
    sparse.cpuTempCelsius = 47.0;
    sparse.fanCount = 1;
    sparse.channels = {{"platform_coretemp_0", "temp1", "coretemp", "Package id 0",
                        SensorKind::temperature, 47.0, std::nullopt, 80.0, 100.0},
                       channel("thermal_zone3", "temp", SensorKind::temperature, std::nullopt)};
    const auto sparseBytes =
        RawFrame::sensorReply(2)
            .real("cpuT", 47.0)
            .integer("fc", 1)
            .channelCount(2)
            .channel("platform_coretemp_0", "temp1", "coretemp", "Package id 0", 1,
                     RawFrame::kValue | RawFrame::kMaximum | RawFrame::kCritical)
            .number(47.0)
            .number(80.0)
            .number(100.0)
            .channel("thermal_zone3", "temp", "", "", 1, 0)
            .bytes();
    EXPECT_EQ(wire::encodeSensorReply(sparse), sparseBytes);
}

TEST(WireCodec, RequestsDecodeOnlyFromExactRequestFrames) {
    EXPECT_EQ(wire::decodeRequest(RawFrame(1, 1).bytes()), wire::Request::fetchSensors);
    EXPECT_EQ(wire::decodeRequest(RawFrame(1, 2).bytes()), wire::Request::helperVersion);
    const std::vector<std::pair<const char*, Bytes>> malformed{
        {"unknown request", RawFrame(1, 3).bytes()},
        {"a reply", RawFrame(2, 1).bytes()},
        {"a body", RawFrame(1, 1).byte(0).bytes()},
        {"length beyond the bytes", RawFrame(1, 1).withLength(13)},
        {"length short of the bytes", RawFrame(1, 1).withLength(11)},
        {"wrong magic", RawFrame(1, 1).set(0, 'v').bytes()},
        {"the previous format version", RawFrame(1, 1).set(4, 1).bytes()},
        {"a newer format version", RawFrame(1, 1).set(4, 3).bytes()},
        {"reserved byte set", RawFrame(1, 1).set(7, 1).bytes()},
        {"truncated", Bytes{'V', 'T', 'R', 'L', 1, 1, 1, 0, 12, 0, 0}},
        {"empty", Bytes{}},
    };
    for (const auto& [name, frame] : malformed) {
        EXPECT_FALSE(wire::decodeRequest(frame)) << name;
    }
}

TEST(WireCodec, MissingKeysDecodeAsAbsentAndUnknownKeysAreSkipped) {
    struct Case {
        const char* name;
        Bytes frame;
        SensorReading expected;
    };
    SensorReading onlyCpu;
    onlyCpu.cpuTempCelsius = 55.5;
    auto noGpu = everyFieldDistinct();
    noGpu.gpuTempCelsius = std::nullopt;
    SensorReading noFanCount;
    noFanCount.fan0Rpm = 900.0;
    const std::vector<Case> cases{
        {"no keys at all", RawFrame::sensorReply(0).channelCount(0).bytes(), SensorReading{}},
        {"only the CPU", RawFrame::sensorReply(1).real("cpuT", 55.5).channelCount(0).bytes(),
         onlyCpu},
        {"a fan without its count",
         RawFrame::sensorReply(1).real("f0", 900.0).channelCount(0).bytes(), noFanCount},
        {"keys of any kind not known here",
         RawFrame::sensorReply(4)
             .text("vendor", "x\x01\xff")
             .integer("TC0P", 7)
             .real("cpuT", 55.5)
             .real("gpuPower", 3.0)
             .channelCount(0)
             .bytes(),
         onlyCpu},
        {"every key but the GPU, out of order",
         RawFrame::sensorReply(13)
             .integer("fc", 2)
             .real("f1", 1350.5)
             .real("f0", 1200.0)
             .real("chgP", 65.0)
             .real("sysP", 40.0)
             .real("gpuP", 6.5)
             .real("cpuP", 12.75)
             .real("ioT", 50.5)
             .real("ambT", 25.0)
             .real("memT", 44.0)
             .real("ssdT", 36.5)
             .real("batT", 30.0)
             .real("cpuT", 41.5)
             .channelCount(0)
             .bytes(),
         noGpu},
    };
    for (const auto& c : cases) {
        const auto decoded = wire::decodeSensorReply(c.frame);
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(*decoded, c.expected) << c.name;
    }
}

// A fetchSensors reply with no named fields whose list holds what the test writes after it.
RawFrame listReply(std::uint16_t count) {
    return std::move(RawFrame::sensorReply(0).channelCount(count));
}

TEST(WireCodec, EveryMalformedSensorReplyIsRefused) {
    const auto good = RawFrame::sensorReply(2).real("cpuT", 40.0).integer("fc", 1).channelCount(0);
    const Bytes goodBytes = good.bytes();
    ASSERT_TRUE(wire::decodeSensorReply(goodBytes));
    const auto goodChannel = listReply(1).channel("c", "temp1", "", "", 1, 1).number(40.0);
    ASSERT_TRUE(wire::decodeSensorReply(goodChannel.bytes()));
    Bytes oversized = RawFrame::sensorReply(0).channelCount(0).bytes();
    while (oversized.size() <= wire::kMaxFrameSize) {
        oversized.push_back(0);
    }
    RawFrame tooManyEntries = RawFrame::sensorReply(33);
    for (int i = 0; i < 33; ++i) {
        tooManyEntries.integer("k" + std::to_string(i), i);
    }
    tooManyEntries.channelCount(0);
    RawFrame tooManyChannels = listReply(wire::kMaxChannels + 1);
    for (std::size_t i = 0; i <= wire::kMaxChannels; ++i) {
        tooManyChannels.channel("c", "s" + std::to_string(i), "", "", 1, 0);
    }
    const std::string longText(wire::kMaxChannelText + 1, 'x');

    const std::vector<std::pair<const char*, Bytes>> malformed{
        {"empty", {}},
        {"only a header", RawFrame(2, 1).bytes()},
        {"truncated with its length field corrected",
         RawFrame::sensorReply(2).real("cpuT", 40.0).name("fc").byte(RawFrame::kInteger).bytes()},
        {"a trailing byte counted in the length", RawFrame(good).byte(0).bytes()},
        {"length field larger than the bytes", good.withLength(goodBytes.size() + 1)},
        {"length field smaller than the bytes", good.withLength(goodBytes.size() - 1)},
        {"length field below a header", good.withLength(11)},
        {"length field beyond the size limit", good.withLength(wire::kMaxFrameSize + 1)},
        {"longer than the size limit", oversized},
        {"wrong magic", RawFrame(good).set(3, 'X').bytes()},
        {"the previous format version", RawFrame(good).set(4, 1).bytes()},
        {"a newer format version", RawFrame(good).set(4, 3).bytes()},
        {"a request, not a reply", RawFrame(good).set(5, 1).bytes()},
        {"the answer to helperVersion", RawFrame(good).set(6, 2).bytes()},
        {"reserved byte set", RawFrame(good).set(7, 0x80).bytes()},
        {"another class", RawFrame::sensorReply(0, "NSString").channelCount(0).bytes()},
        {"a class with a module prefix",
         RawFrame::sensorReply(0, "Vantrel.SensorReading").channelCount(0).bytes()},
        {"a class name that only starts alike",
         RawFrame::sensorReply(0, "SensorReadingX").channelCount(0).bytes()},
        {"an empty class name", RawFrame::sensorReply(0, "").channelCount(0).bytes()},
        {"a class name running past the end", RawFrame(2, 1).byte(60).byte('S').bytes()},
        {"no entry count", RawFrame(2, 1).name("SensorReading").bytes()},
        {"more entries than the limit", tooManyEntries.bytes()},
        {"fewer entries than announced",
         RawFrame::sensorReply(3).real("cpuT", 1.0).channelCount(0).bytes()},
        {"more entries than announced",
         RawFrame::sensorReply(1).real("cpuT", 1.0).real("gpuT", 2.0).channelCount(0).bytes()},
        {"a known key twice",
         RawFrame::sensorReply(2).real("cpuT", 1.0).real("cpuT", 2.0).channelCount(0).bytes()},
        {"an unknown key twice",
         RawFrame::sensorReply(2).integer("xyz", 1).integer("xyz", 1).channelCount(0).bytes()},
        {"an empty key", RawFrame::sensorReply(1).real("", 1.0).channelCount(0).bytes()},
        {"a key over the length limit",
         RawFrame::sensorReply(1).real("k234567890123456x", 1.0).channelCount(0).bytes()},
        {"a key with a space", RawFrame::sensorReply(1).real("cpu T", 1.0).channelCount(0).bytes()},
        {"a key with a byte above ASCII",
         RawFrame::sensorReply(1).real("cpu\xc3", 1.0).channelCount(0).bytes()},
        {"an unknown type",
         RawFrame::sensorReply(1).name("zz").byte(4).little64(0).channelCount(0).bytes()},
        {"a double cut short", RawFrame::sensorReply(1).name("cpuT").byte(1).byte(0).bytes()},
        {"a text running past the end",
         RawFrame::sensorReply(1).name("zz").byte(RawFrame::kText).byte(9).byte('a').bytes()},
        {"a temperature sent as an integer",
         RawFrame::sensorReply(1).integer("cpuT", 40).channelCount(0).bytes()},
        {"a fan speed sent as text",
         RawFrame::sensorReply(1).text("f0", "1200").channelCount(0).bytes()},
        {"the fan count sent as a double",
         RawFrame::sensorReply(1).real("fc", 2.0).channelCount(0).bytes()},
        {"a temperature that is not a number",
         RawFrame::sensorReply(1).real("cpuT", kNaN).channelCount(0).bytes()},
        {"an infinite power",
         RawFrame::sensorReply(1).real("sysP", kInfinity).channelCount(0).bytes()},
        {"the previous version's reply: no list at all",
         RawFrame::sensorReply(1).real("cpuT", 40.0).bytes()},
        {"a list count cut short", RawFrame::sensorReply(0).byte(0).bytes()},
        {"more channels than the limit", tooManyChannels.bytes()},
        {"fewer channels than announced", listReply(2).channel("c", "temp1", "", "", 1, 0).bytes()},
        {"a byte after the list", RawFrame(goodChannel).byte(0).bytes()},
        {"an empty chip", listReply(1).channel("", "temp1", "", "", 1, 0).bytes()},
        {"an empty sensor", listReply(1).channel("c", "", "", "", 1, 0).bytes()},
        {"a chip over 64 bytes", listReply(1).channel(longText, "temp1", "", "", 1, 0).bytes()},
        {"a label over 64 bytes", listReply(1).channel("c", "temp1", "", longText, 1, 0).bytes()},
        {"a control character in a label",
         listReply(1).channel("c", "temp1", "", "CPU\nFan", 1, 0).bytes()},
        {"a delete character in a chip name",
         listReply(1).channel("c", "temp1", "n\x7f", "", 1, 0).bytes()},
        {"a text running past the end", listReply(1).name("c").name("temp1").byte(9).bytes()},
        {"kind 0", listReply(1).channel("c", "temp1", "", "", 0, 0).bytes()},
        {"kind 7", listReply(1).channel("c", "temp1", "", "", 7, 0).bytes()},
        {"no kind", listReply(1).name("c").name("temp1").name("").name("").bytes()},
        {"no presence byte",
         listReply(1).name("c").name("temp1").name("").name("").byte(1).bytes()},
        {"an unknown presence bit", listReply(1).channel("c", "temp1", "", "", 1, 0x10).bytes()},
        {"a value announced but missing", listReply(1).channel("c", "temp1", "", "", 1, 1).bytes()},
        {"fewer values than announced",
         listReply(1).channel("c", "temp1", "", "", 1, 0x0f).number(1.0).number(2.0).bytes()},
        {"a value cut short",
         listReply(1).channel("c", "temp1", "", "", 1, 1).byte(0).byte(0).bytes()},
        {"more values than announced",
         listReply(1).channel("c", "temp1", "", "", 1, 1).number(1.0).number(2.0).bytes()},
        {"a value that is not a number",
         listReply(1).channel("c", "temp1", "", "", 1, RawFrame::kValue).number(kNaN).bytes()},
        {"an infinite critical limit", listReply(1)
                                           .channel("c", "temp1", "", "", 1, RawFrame::kCritical)
                                           .number(kInfinity)
                                           .bytes()},
    };
    for (const auto& [name, frame] : malformed) {
        EXPECT_FALSE(wire::decodeSensorReply(frame)) << name;
    }
}

TEST(WireCodec, VersionRepliesAreShortPrintableText) {
    EXPECT_EQ(wire::decodeVersionReply(*wire::encodeVersionReply("1")), "1");
    const std::string longest(wire::kMaxVersionLength, '9');
    EXPECT_EQ(wire::decodeVersionReply(*wire::encodeVersionReply(longest)), longest);
    for (const std::string& refused : {std::string(), std::string(33, '9'), std::string("1\n"),
                                       std::string("1\0", 2), std::string("\xe2\x80\x94")}) {
        EXPECT_FALSE(wire::encodeVersionReply(refused)) << refused;
    }

    const std::vector<std::pair<const char*, Bytes>> malformed{
        {"no text", RawFrame(2, 2).bytes()},
        {"an empty text", RawFrame(2, 2).byte(0).bytes()},
        {"text shorter than announced", RawFrame(2, 2).byte(3).byte('1').bytes()},
        {"text longer than announced", RawFrame(2, 2).byte(1).byte('1').byte('2').bytes()},
        {"text beyond the limit", RawFrame(2, 2).name(std::string(33, '1')).bytes()},
        {"a control byte", RawFrame(2, 2).name("1\x07").bytes()},
        {"the answer to fetchSensors", RawFrame(2, 1).name("1").bytes()},
        {"a request", RawFrame(1, 2).name("1").bytes()},
    };
    for (const auto& [name, frame] : malformed) {
        EXPECT_FALSE(wire::decodeVersionReply(frame)) << name;
    }
}

TEST(WireCodec, HeadersAreReadFromTheFirstTwelveBytesAlone) {
    const auto frame = wire::encodeSensorReply(everyFieldDistinct());
    const auto header = wire::decodeHeader(std::span(frame).first(wire::kHeaderSize));
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, (wire::FrameHeader{wire::FrameKind::reply, wire::Request::fetchSensors,
                                          frame.size()}));
    EXPECT_FALSE(wire::decodeHeader(std::span(frame).first(wire::kHeaderSize - 1)));
}

TEST(WireCodec, ArchivesOutsideTheFormatsLimitsAreNotWritten) {
    const std::vector<wire::ArchiveEntry> badKey{{"a key", 1.0}};
    const std::vector<wire::ArchiveEntry> tooMany(wire::kMaxEntries + 1, {"k", 1.0});
    const std::string overlong(256, 'x');
    const std::vector<wire::ArchiveEntry> longText{{"t", std::string_view(overlong)}};
    EXPECT_FALSE(wire::encodeArchive("SensorReading", badKey));
    EXPECT_FALSE(wire::encodeArchive("SensorReading", tooMany));
    EXPECT_FALSE(wire::encodeArchive("SensorReading", longText));
    EXPECT_FALSE(wire::encodeArchive("", {}));
    EXPECT_FALSE(wire::encodeArchive(std::string(65, 'C'), {}));
    EXPECT_FALSE(wire::encodeFrame(wire::FrameKind::reply, wire::Request::fetchSensors,
                                   Bytes(wire::kMaxFrameSize - wire::kHeaderSize + 1)));
    EXPECT_TRUE(wire::encodeFrame(wire::FrameKind::reply, wire::Request::fetchSensors,
                                  Bytes(wire::kMaxFrameSize - wire::kHeaderSize)));
}

}  // namespace
