#include "tools/vantrel-sample/SampleOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleOptions, AcceptsCountIntervalAndHelpInEitherSpelling) {
    const auto parsed =
        parseSampleOptions({QStringLiteral("--count"), QStringLiteral("3"),
                            QStringLiteral("--interval=0.5"), QStringLiteral("--help")});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->count, 3);
    EXPECT_EQ(parsed.options->interval, 0.5);
    EXPECT_TRUE(parsed.options->help);

    const auto none = parseSampleOptions({});
    ASSERT_TRUE(none.options);
    EXPECT_FALSE(none.options->count);
    EXPECT_FALSE(none.options->interval);
}

TEST(SampleOptions, RecordTakesAPathOnlyWhenOneFollows) {
    const struct {
        QStringList arguments;
        std::optional<QString> record;
        std::optional<std::int64_t> count;
    } cases[] = {
        {{QStringLiteral("--record")}, QString(), std::nullopt},
        {{QStringLiteral("--record"), QStringLiteral("/tmp/r.csv")},
         QStringLiteral("/tmp/r.csv"),
         std::nullopt},
        {{QStringLiteral("--record"), QStringLiteral("--count"), QStringLiteral("2")},
         QString(),
         2},
        {{QStringLiteral("--record=--odd.csv")}, QStringLiteral("--odd.csv"), std::nullopt},
        {{QStringLiteral("--record"), QStringLiteral("-"), QStringLiteral("--count=3")},
         QStringLiteral("-"),
         3},
        {{QStringLiteral("--count"), QStringLiteral("4")}, std::nullopt, 4},
    };
    for (const auto& c : cases) {
        const auto parsed = parseSampleOptions(c.arguments);
        ASSERT_TRUE(parsed.options) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(parsed.options->record, c.record) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(parsed.options->count, c.count);
    }
}

TEST(SampleOptions, SnapshotNeedsAPath) {
    const auto parsed = parseSampleOptions({QStringLiteral("--snapshot"), QStringLiteral("s.csv")});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->snapshot, QStringLiteral("s.csv"));
    EXPECT_FALSE(parsed.options->record);
    EXPECT_FALSE(parseSampleOptions({}).options->snapshot);
}

TEST(SampleOptions, RejectsBadArgumentsWithOneLine) {
    const QStringList bad[] = {
        {QStringLiteral("--count")},
        {QStringLiteral("--count"), QStringLiteral("0")},
        {QStringLiteral("--count"), QStringLiteral("-2")},
        {QStringLiteral("--count"), QStringLiteral("two")},
        {QStringLiteral("--count=1.5")},
        {QStringLiteral("--interval"), QStringLiteral("0")},
        {QStringLiteral("--interval"), QStringLiteral("nan")},
        {QStringLiteral("--interval"), QStringLiteral("inf")},
        {QStringLiteral("--interval"), QStringLiteral("1e300")},
        {QStringLiteral("--interval=")},
        {QStringLiteral("--snapshot")},
        {QStringLiteral("--snapshot=")},
        {QStringLiteral("--record=")},
        {QStringLiteral("--verbose")},
        {QStringLiteral("extra")},
    };
    for (const auto& arguments : bad) {
        const auto parsed = parseSampleOptions(arguments);
        EXPECT_FALSE(parsed.options) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(parsed.error.isEmpty());
        EXPECT_FALSE(parsed.error.contains(u'\n'));
    }
}

}  // namespace
