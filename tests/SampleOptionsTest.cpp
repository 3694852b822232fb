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

}  // namespace
