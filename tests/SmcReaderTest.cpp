#include "helper/applesmc/SmcParameterBlock.h"
#include "helper/applesmc/SmcReader.h"
#include "support/FakeSmc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FourCharCode, FoldsUpToFourBytesFirstByteHighest) {
    const struct {
        std::string text;
        std::uint32_t code;
    } cases[] = {
        {"TC0P", 0x54433050},
        {"", 0},
        {"ab", 0x6162},
        {"TC0PXY", 0x54433050},  // bytes past the fourth are ignored
        {"\xC3\xA9", 0xC3A9},    // "é": its two UTF-8 bytes
        {std::string("ui8\0", 4), 0x75693800},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fourCharCode(c.text), c.code) << c.text;
    }
}

TEST(SmcDecoding, DecodesTheTableTypesAndNothingElse) {
    const struct {
        std::uint32_t type;
        Bytes bytes;
        std::optional<double> value;
    } cases[] = {
        {fourCharCode("sp78"), {0x1C, 0x80}, 28.5},
        {fourCharCode("sp78"), {0x80, 0x00}, -128.0},
        {fourCharCode("fpe2"), {0x1F, 0x40}, 2000.0},
        {fourCharCode("fpe2"), {0xFF, 0xFF}, 16383.75},  // unsigned, unlike sp78
        {fourCharCode("ui16"), {0x07, 0xD0}, 2000.0},
        {fourCharCode("flt "), {0x00, 0x00, 0x80, 0xBF}, -1.0},
        {fourCharCode("fp2E"), {0x00, 0x01}, 6.103515625e-05},
        {fourCharCode("ui8 "), {0x2A, 0xFF}, 42.0},
        {0x75693800, {0xC8}, 200.0},
        {fourCharCode("fp2e"), {0x40, 0x00}, std::nullopt},  // lower-case e
        {fourCharCode("ui32"), {0, 0, 0, 7}, std::nullopt},
        {fourCharCode("ui8"), {0x01}, std::nullopt},  // three-byte fold is not "ui8\0"
        {0, {0x01}, std::nullopt},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 32> bytes{};
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin());
        EXPECT_EQ(decodeSmcValue(c.type, bytes), c.value) << std::hex << c.type;
    }
}

TEST(SmcReader, SendsKeyInfoThenReadBytesInZeroedBlocks) {
    FakeSmcReader fake;
    fake.smc->set("TC0P", fourCharCode("sp78"), {0x1C, 0x80, 0x00});
    EXPECT_EQ(fake.reader.readKey("TC0P"), 28.5);

    ASSERT_EQ(fake.smc->calls.size(), 2u);
    SmcBlockBytes info{};
    info[0] = 0x50;  // "TC0P" little-endian at offset 0
    info[1] = 0x30;
    info[2] = 0x43;
    info[3] = 0x54;
    info[42] = 9;
    EXPECT_EQ(fake.smc->calls[0].selector, 2u);
    EXPECT_EQ(fake.smc->calls[0].input, info);

    SmcBlockBytes bytes = info;
    bytes[42] = 5;
    bytes[28] = 3;  // the data size command 9 reported, passed back unchecked
    EXPECT_EQ(fake.smc->calls[1].selector, 2u);
    EXPECT_EQ(fake.smc->calls[1].input, bytes);
}

TEST(SmcReader, FailedCallsAndUnknownTypesGiveNoValue) {
    FakeSmcReader fake;
    fake.smc->set("TB0T", fourCharCode("sp78"), {0x1E, 0x00});
    fake.smc->keys[fourCharCode("TB0T")].failBytes = true;
    fake.smc->set("TG0P", fourCharCode("fp2e"), {0x40, 0x00});
    fake.smc->set("PSTR", fourCharCode("ui32"), {0, 0, 0, 12});

    EXPECT_EQ(fake.reader.readKey("TB0T"), std::nullopt);
    EXPECT_EQ(fake.reader.readKey("TG0P"), std::nullopt);
    EXPECT_EQ(fake.reader.readKey("PSTR"), std::nullopt);
    const auto before = fake.smc->calls.size();
    EXPECT_EQ(fake.reader.readKey("ZZZZ"), std::nullopt);
    EXPECT_EQ(fake.smc->calls.size(), before + 1) << "a failed key-info call ends the read";
}

TEST(SmcReader, KeyInfoIsNotCached) {
    FakeSmcReader fake;
    fake.smc->setFloat("PSTR", 12.0f);
    EXPECT_EQ(fake.reader.readKey("PSTR"), 12.0);
    fake.smc->set("PSTR", fourCharCode("sp78"), {0x0C, 0x80});
    EXPECT_EQ(fake.reader.readKey("PSTR"), 12.5);
    EXPECT_EQ(fake.smc->calls.size(), 4u);
}

TEST(SmcReader, OpenPrintsWhyItFailed) {
    const struct {
        const char* name;
        SmcReader::ServiceLookup lookup;
        std::string output;
    } cases[] = {
        {"no service", [] { return std::unique_ptr<SmcService>(); },
         "[SMCReader] AppleSMC service not found\n"},
        {"no lookup", SmcReader::ServiceLookup(), "[SMCReader] AppleSMC service not found\n"},
        {"open refused",
         [] {
             return std::unique_ptr<SmcService>(
                 std::make_unique<FakeSmcService>(std::make_unique<FakeSmcUserClient>(), -13));
         },
         "[SMCReader] IOServiceOpen failed: -13\n"},
    };
    for (const auto& c : cases) {
        SmcReader reader(c.lookup);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(reader.open()) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output) << c.name;
        EXPECT_FALSE(reader.isOpen()) << c.name;
        EXPECT_EQ(reader.readKey("TC0P"), std::nullopt) << c.name;
    }
}

TEST(SmcReader, ReadsNothingBeforeOpeningAndOpensOnceSilently) {
    int lookups = 0;
    auto smc = std::make_shared<FakeSmcUserClient>();
    smc->setFloat("TC0P", 40.0f);
    SmcReader reader([&] {
        ++lookups;
        return forwardingLookup(smc)();
    });
    EXPECT_EQ(reader.readKey("TC0P"), std::nullopt);
    EXPECT_TRUE(smc->calls.empty());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(reader.open());
    EXPECT_TRUE(reader.open());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(lookups, 1);
}

}  // namespace
