#include "core/UserDefaults.h"
#include "support/FakeClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class UserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("config/vantrel/settings.json")); }
};

TEST_F(UserDefaultsTest, MissingFileIsAnEmptyStoreAndCreatesNothing) {
    UserDefaults defaults(path());
    EXPECT_FALSE(defaults.value(QStringLiteral("refreshInterval")).has_value());
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_FALSE(defaults.movedAsidePath().has_value());
}

TEST_F(UserDefaultsTest, FirstWriteCreatesTheFolderAndAReadableFile) {
    {
        UserDefaults defaults(path());
        EXPECT_TRUE(defaults.set(QStringLiteral("refreshInterval"), 5.0));
        EXPECT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("teal")));
        EXPECT_TRUE(defaults.set(QStringLiteral("list"), QJsonArray{QJsonObject{{"a", true}}}));
    }
    const auto text = readAll(path());
    // Human-readable: one key per line, indented.
    EXPECT_TRUE(text.contains("\n    \"graphColor\": \"teal\""));
    UserDefaults reread(path());
    EXPECT_EQ(reread.doubleValue(QStringLiteral("refreshInterval")), 5.0);
    EXPECT_EQ(reread.stringValue(QStringLiteral("graphColor")), QStringLiteral("teal"));
    EXPECT_EQ(reread.value(QStringLiteral("list")),
              QJsonValue(QJsonArray{QJsonObject{{"a", true}}}));
}

TEST_F(UserDefaultsTest, ChangesKeptInMemoryNeverTouchTheFile) {
    writeAll(path(), R"({"refreshInterval": 5})");
    UserDefaults defaults(path());
    defaults.keepChangesInMemory();
    EXPECT_TRUE(defaults.set(QStringLiteral("refreshInterval"), 1.0));
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("refreshInterval")), 1.0);
    EXPECT_EQ(readAll(path()), QByteArray(R"({"refreshInterval": 5})"));
}

TEST_F(UserDefaultsTest, RemoveDropsTheKeyFromMemoryAndFile) {
    UserDefaults defaults(path());
    defaults.set(QStringLiteral("a"), 1);
    defaults.set(QStringLiteral("b"), 2);
    EXPECT_TRUE(defaults.remove(QStringLiteral("a")));
    EXPECT_FALSE(defaults.value(QStringLiteral("a")).has_value());
    UserDefaults reread(path());
    EXPECT_FALSE(reread.value(QStringLiteral("a")).has_value());
    EXPECT_EQ(reread.integerValue(QStringLiteral("b")), 2);
}

struct TypedReadCase {
    friend void PrintTo(const TypedReadCase& c, std::ostream* os) { *os << c.name; }
    const char* name;
    const char* storedJson;  // the value under key "k"
    std::optional<double> asDouble;
    std::optional<bool> asBool;
    std::optional<int> asInteger;
    std::optional<QString> asString;
};

class UserDefaultsTypedReadTest : public ::testing::TestWithParam<TypedReadCase> {};

TEST_P(UserDefaultsTypedReadTest, ReadsOnlyItsOwnType) {
    const auto& c = GetParam();
    QTemporaryDir dir;
    const auto path = dir.filePath(QStringLiteral("settings.json"));
    writeAll(path, QByteArray("{\"k\": ") + c.storedJson + "}");
    UserDefaults defaults(path);
    const auto k = QStringLiteral("k");
    EXPECT_EQ(defaults.doubleValue(k), c.asDouble);
    EXPECT_EQ(defaults.boolValue(k), c.asBool);
    EXPECT_EQ(defaults.integerValue(k), c.asInteger);
    EXPECT_EQ(defaults.stringValue(k), c.asString);
    EXPECT_TRUE(defaults.value(k).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Values, UserDefaultsTypedReadTest,
    ::testing::Values(
        TypedReadCase{"integral", "30", 30.0, std::nullopt, 30, std::nullopt},
        TypedReadCase{"negative", "-4", -4.0, std::nullopt, -4, std::nullopt},
        TypedReadCase{"fraction", "0.5", 0.5, std::nullopt, std::nullopt, std::nullopt},
        TypedReadCase{"integralWrittenAsDouble", "30.0", 30.0, std::nullopt, 30, std::nullopt},
        TypedReadCase{"beyondInt", "3000000000", 3e9, std::nullopt, std::nullopt, std::nullopt},
        TypedReadCase{"boolTrue", "true", std::nullopt, true, std::nullopt, std::nullopt},
        TypedReadCase{"boolFalse", "false", std::nullopt, false, std::nullopt, std::nullopt},
        TypedReadCase{"text", "\"2\"", std::nullopt, std::nullopt, std::nullopt,
                      QStringLiteral("2")},
        TypedReadCase{"null", "null", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        TypedReadCase{"array", "[1]", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        TypedReadCase{"object", "{\"a\":1}", std::nullopt, std::nullopt, std::nullopt,
                      std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct UnusableFileCase {
    friend void PrintTo(const UnusableFileCase& c, std::ostream* os) { *os << c.name; }
    const char* name;
    QByteArray content;
};

class UserDefaultsUnusableFileTest : public ::testing::TestWithParam<UnusableFileCase> {};

TEST_P(UserDefaultsUnusableFileTest, IsKeptUntilTheFirstWriteThenMovedAside) {
    const auto& c = GetParam();
    QTemporaryDir dir;
    const auto path = dir.filePath(QStringLiteral("settings.json"));
    writeAll(path, c.content);
    FakeClock clock;
    // 2025-03-04 05:06:07 UTC
    clock.setWallStart(Clock::WallTime{} + std::chrono::seconds(1741064767));

    UserDefaults defaults(path, clock);
    EXPECT_FALSE(defaults.value(QStringLiteral("graphColor")).has_value());
    EXPECT_EQ(readAll(path), c.content) << "reading must not touch the file";

    ASSERT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("red")));
    const auto aside = path + QStringLiteral(".corrupt-20250304T050607Z");
    EXPECT_EQ(defaults.movedAsidePath(), aside);
    EXPECT_EQ(readAll(aside), c.content);
    const auto written = QJsonDocument::fromJson(readAll(path));
    EXPECT_EQ(written.object(), (QJsonObject{{"graphColor", "red"}}));

    // Later writes leave the kept copy alone and make no other.
    clock.advance(std::chrono::seconds(5));
    ASSERT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("blue")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(readAll(aside), c.content);
}

INSTANTIATE_TEST_SUITE_P(Contents, UserDefaultsUnusableFileTest,
                         ::testing::Values(UnusableFileCase{"garbage", "not json at all"},
                                           UnusableFileCase{"truncated", "{\"graphColor\": \"re"},
                                           UnusableFileCase{"empty", ""},
                                           UnusableFileCase{"topLevelArray",
                                                            "[{\"graphColor\": \"red\"}]"},
                                           UnusableFileCase{"topLevelNumber", "42"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UserDefaultsMoveAsideTest, NeverReplacesAnEarlierCopyFromTheSameSecond) {
    QTemporaryDir dir;
    const auto path = dir.filePath(QStringLiteral("settings.json"));
    FakeClock clock;
    clock.setWallStart(Clock::WallTime{} + std::chrono::seconds(1741064767));
    const auto aside = path + QStringLiteral(".corrupt-20250304T050607Z");
    writeAll(aside, "first broken copy");
    writeAll(path, "second broken copy");

    UserDefaults defaults(path, clock);
    ASSERT_TRUE(defaults.set(QStringLiteral("a"), true));
    EXPECT_EQ(readAll(aside), "first broken copy");
    EXPECT_EQ(defaults.movedAsidePath(), aside + QStringLiteral("-1"));
    EXPECT_EQ(readAll(aside + QStringLiteral("-1")), "second broken copy");
}

TEST(UserDefaultsWriteFailureTest, ReportsFailureAndStillChangesTheValueInMemory) {
    QTemporaryDir dir;
    // The folder cannot be made because a file holds its name.
    writeAll(dir.filePath(QStringLiteral("vantrel")), "a file, not a folder");
    UserDefaults defaults(dir.filePath(QStringLiteral("vantrel/settings.json")));
    EXPECT_FALSE(defaults.set(QStringLiteral("alertsEnabled"), true));
    EXPECT_EQ(defaults.boolValue(QStringLiteral("alertsEnabled")), true);
    EXPECT_FALSE(defaults.remove(QStringLiteral("alertsEnabled")));
    EXPECT_FALSE(defaults.value(QStringLiteral("alertsEnabled")).has_value());
}

TEST(UserDefaultsPathTest, DefaultPathIsInTheUserConfigFolder) {
    EXPECT_TRUE(UserDefaults::defaultFilePath().endsWith(QStringLiteral("/vantrel/settings.json")));
}

}  // namespace
