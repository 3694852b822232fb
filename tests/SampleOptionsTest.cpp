#include "tools/vantrel-sample/SampleOptions.h"

#include <gtest/gtest.h>

namespace {

// The rejected arguments and the plain options are checked on the program itself
// (sample_program_test.py); this is the one option whose value is optional.
TEST(SampleOptions, RecordTakesAPathOnlyWhenOneFollows) {
    const struct {
        const char* arguments;
        std::optional<QString> record;
        std::optional<std::int64_t> count;
    } cases[] = {
        {"--record", QString(), std::nullopt},
        {"--record /tmp/r.csv", QStringLiteral("/tmp/r.csv"), std::nullopt},
        {"--record --count 2", QString(), 2},
        {"--record=--odd.csv", QStringLiteral("--odd.csv"), std::nullopt},
        {"--record - --count=3", QStringLiteral("-"), 3},
        {"--count 4", std::nullopt, 4},
    };
    for (const auto& c : cases) {
        const auto parsed = parseSampleOptions(QString::fromLatin1(c.arguments).split(u' '));
        ASSERT_TRUE(parsed.options) << c.arguments;
        EXPECT_EQ(parsed.options->record, c.record) << c.arguments;
        EXPECT_EQ(parsed.options->count, c.count) << c.arguments;
        EXPECT_FALSE(parsed.options->snapshot);
    }
}

TEST(SampleOptions, ServeTakesAnAddressAndAPort) {
    const struct {
        const char* argument;
        std::optional<QString> address;  // absent: the argument is refused
        quint16 port;
    } cases[] = {
        {"9105", QStringLiteral("127.0.0.1"), 9105},
        {"127.0.0.1:0", QStringLiteral("127.0.0.1"), 0},
        {"0.0.0.0:65535", QStringLiteral("0.0.0.0"), 65535},
        {"[::1]:9105", QStringLiteral("::1"), 9105},
        {"[::]:80", QStringLiteral("::"), 80},
        {"::1:9105", std::nullopt, 0},
        {"[127.0.0.1]:9105", std::nullopt, 0},
        {"localhost:9105", std::nullopt, 0},
        {"127.0.0.1:", std::nullopt, 0},
        {":9105", std::nullopt, 0},
        {"65536", std::nullopt, 0},
        {"-1", std::nullopt, 0},
        {"+80", std::nullopt, 0},
        {"[fe80::1%eth0]:9105", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const auto parsed =
            parseSampleOptions({QStringLiteral("--serve"), QString::fromLatin1(c.argument)});
        if (!c.address) {
            EXPECT_FALSE(parsed.options) << c.argument;
            EXPECT_TRUE(parsed.error.startsWith(u"--serve needs")) << c.argument;
            EXPECT_FALSE(parsed.error.contains(u'\n')) << c.argument;
            continue;
        }
        ASSERT_TRUE(parsed.options) << c.argument;
        ASSERT_TRUE(parsed.options->serve) << c.argument;
        EXPECT_EQ(parsed.options->serve->address.toString(), *c.address) << c.argument;
        EXPECT_EQ(parsed.options->serve->port, c.port) << c.argument;
    }
}

TEST(SampleOptions, ExporterOptionsNeedTheirValues) {
    const struct {
        QStringList arguments;
        const char* error;  // empty: accepted
    } cases[] = {
        {{"--textfile", "/tmp/v.prom", "--serve", "1"}, ""},
        {{"--textfile"}, "--textfile needs a file path"},
        {{"--textfile="}, "--textfile needs a file path"},
        {{"--serve"}, "--serve needs"},
        {{"--serve="}, "--serve needs"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseSampleOptions(c.arguments);
        EXPECT_EQ(parsed.options.has_value(), *c.error == 0)
            << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(*c.error == 0 ? parsed.error.isEmpty()
                                  : parsed.error.startsWith(QString::fromLatin1(c.error)))
            << parsed.error.toStdString();
    }
}

}  // namespace
