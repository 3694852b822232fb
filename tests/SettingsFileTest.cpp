#include "core/SettingsFile.h"
#include "support/FakeClock.h"
#include "support/FileSizeLimit.h"
#include "support/QStringPrinter.h"

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

using namespace std::chrono_literals;

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

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("config/vantrel/settings.json")); }
};

TEST_F(SettingsFileTest, AMissingFileIsAnEmptyStoreUntilTheFirstWriteMakesFolderAndFile) {
    {
        SettingsFile defaults(path());
        EXPECT_FALSE(defaults.value(QStringLiteral("refreshInterval")).has_value());
        EXPECT_FALSE(QFile::exists(path()));
        EXPECT_TRUE(defaults.set(QStringLiteral("refreshInterval"), 5.0));
        EXPECT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("teal")));
        EXPECT_TRUE(defaults.set(QStringLiteral("list"), QJsonArray{QJsonObject{{"a", true}}}));
    }
    const auto text = readAll(path());
    // Human-readable: one key per line, indented.
    EXPECT_TRUE(text.contains("\n    \"graphColor\": \"teal\""));
    SettingsFile reread(path());
    EXPECT_EQ(reread.doubleValue(QStringLiteral("refreshInterval")), 5.0);
    EXPECT_EQ(reread.stringValue(QStringLiteral("graphColor")), QStringLiteral("teal"));
    EXPECT_EQ(reread.value(QStringLiteral("list")),
              QJsonValue(QJsonArray{QJsonObject{{"a", true}}}));
}

TEST_F(SettingsFileTest, ChangesKeptInMemoryNeverTouchTheFile) {
    writeAll(path(), R"({"refreshInterval": 5})");
    SettingsFile defaults(path());
    defaults.keepChangesInMemory();
    EXPECT_TRUE(defaults.set(QStringLiteral("refreshInterval"), 1.0));
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("refreshInterval")), 1.0);
    EXPECT_EQ(readAll(path()), QByteArray(R"({"refreshInterval": 5})"));
}

TEST_F(SettingsFileTest, RemoveDropsTheKeyFromMemoryAndFile) {
    SettingsFile defaults(path());
    defaults.set(QStringLiteral("a"), 1);
    defaults.set(QStringLiteral("b"), 2);
    EXPECT_TRUE(defaults.remove(QStringLiteral("a")));
    SettingsFile reread(path());
    EXPECT_FALSE(reread.value(QStringLiteral("a")).has_value());
    EXPECT_EQ(reread.integerValue(QStringLiteral("b")), 2);
}

TEST_F(SettingsFileTest, TypedReadsAcceptOnlyTheirOwnType) {
    const struct {
        const char* storedJson;  // the value under key "k"
        std::optional<double> asDouble;
        std::optional<bool> asBool;
        std::optional<int> asInteger;
        std::optional<QString> asString;
    } cases[] = {
        {"-4", -4.0, {}, -4, {}},     {"0.5", 0.5, {}, {}, {}},
        {"30.0", 30.0, {}, 30, {}},   {"3000000000", 3e9, {}, {}, {}},
        {"false", {}, false, {}, {}}, {"\"2\"", {}, {}, {}, QStringLiteral("2")},
        {"null", {}, {}, {}, {}},     {"[1]", {}, {}, {}, {}},
    };
    const auto k = QStringLiteral("k");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedJson);
        writeAll(path(), QByteArray("{\"k\": ") + c.storedJson + "}");
        SettingsFile defaults(path());
        EXPECT_EQ(defaults.doubleValue(k), c.asDouble);
        EXPECT_EQ(defaults.boolValue(k), c.asBool);
        EXPECT_EQ(defaults.integerValue(k), c.asInteger);
        EXPECT_EQ(defaults.stringValue(k), c.asString);
        EXPECT_TRUE(defaults.value(k).has_value());
    }
}

TEST_F(SettingsFileTest, AnUnusableFileIsKeptUntilTheFirstWriteThenMovedAside) {
    const auto file = dir.filePath(QStringLiteral("settings.json"));
    const struct {
        QByteArray content;
        std::chrono::seconds wallTime;
        const char* asideSuffix;
    } cases[] = {
        {"{\"graphColor\": \"re", 1741064767s, ".corrupt-20250304T050607Z"},
        {"", 1741064827s, ".corrupt-20250304T050707Z"},
        {"[{\"graphColor\": \"red\"}]", 1741064887s, ".corrupt-20250304T050807Z"},
    };
    int run = 0;
    for (const auto& [content, wallTime, asideSuffix] : cases) {
        SCOPED_TRACE(asideSuffix);
        writeAll(file, content);
        FakeClock clock;
        clock.setWallStart(Clock::WallTime{} + wallTime);
        ++run;

        SettingsFile defaults(file, clock);
        EXPECT_FALSE(defaults.value(QStringLiteral("graphColor")).has_value());
        EXPECT_EQ(readAll(file), content) << "reading must not touch the file";

        ASSERT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("red")));
        const auto aside = file + QLatin1String(asideSuffix);
        EXPECT_EQ(defaults.movedAsidePath(), aside);
        EXPECT_EQ(readAll(aside), content);
        EXPECT_EQ(QJsonDocument::fromJson(readAll(file)).object(),
                  (QJsonObject{{"graphColor", "red"}}));

        // Later writes leave the kept copy alone and make no other.
        clock.advance(std::chrono::seconds(5));
        ASSERT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("blue")));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1 + run);
        EXPECT_EQ(readAll(aside), content);
    }
}

// The program tells the user where an unusable file is kept, so it moves it aside at start.
TEST_F(SettingsFileTest, AnUnusableFileSaysWhyAndWhereItIsKept) {
    const auto file = dir.filePath(QStringLiteral("settings.json"));
    const struct {
        QByteArray content;
        const char* reason;  // nullptr: usable
    } cases[] = {
        {"{\"graphColor\": \"re", "it is not JSON: unterminated string at character 19"},
        {"[true]", "it holds a list, not named settings"},
        {"{\"graphColor\": 1}", nullptr},
    };
    FakeClock clock;
    clock.setWallStart(Clock::WallTime{} + 1741064767s);
    const QString aside = file + QStringLiteral(".corrupt-20250304T050607Z");
    for (const auto& [content, reason] : cases) {
        SCOPED_TRACE(content.toStdString());
        writeAll(file, content);
        {
            SettingsFile inMemory(file, clock);
            inMemory.keepChangesInMemory();
            EXPECT_FALSE(inMemory.moveUnreadableFileAsideNow());
            EXPECT_EQ(readAll(file), content);
        }
        SettingsFile defaults(file, clock);
        if (!reason) {
            EXPECT_EQ(defaults.unreadableFile(), std::nullopt);
            EXPECT_FALSE(defaults.moveUnreadableFileAsideNow());
            continue;
        }
        ASSERT_TRUE(defaults.unreadableFile());
        EXPECT_EQ(defaults.unreadableFile()->reason, reason);
        EXPECT_EQ(defaults.unreadableFile()->keptPath, file);
        ASSERT_TRUE(defaults.moveUnreadableFileAsideNow());
        EXPECT_EQ(defaults.unreadableFile(), (UnreadableSettingsFile{reason, aside}));
        EXPECT_EQ(readAll(aside), content);
        EXPECT_FALSE(QFile::exists(file));
        QFile::remove(aside);
    }
}

TEST(SettingsFileMoveAsideTest, NeverReplacesAnEarlierCopyFromTheSameSecond) {
    QTemporaryDir dir;
    const auto path = dir.filePath(QStringLiteral("settings.json"));
    FakeClock clock;
    clock.setWallStart(Clock::WallTime{} + std::chrono::seconds(1741064767));
    const auto aside = path + QStringLiteral(".corrupt-20250304T050607Z");
    writeAll(aside, "first broken copy");
    writeAll(path, "second broken copy");

    SettingsFile defaults(path, clock);
    ASSERT_TRUE(defaults.set(QStringLiteral("a"), true));
    EXPECT_EQ(readAll(aside), "first broken copy");
    EXPECT_EQ(defaults.movedAsidePath(), aside + QStringLiteral("-1"));
    EXPECT_EQ(readAll(aside + QStringLiteral("-1")), "second broken copy");
}

TEST(SettingsFileWriteFailureTest, ReportsFailureAndStillChangesTheValueInMemory) {
    QTemporaryDir dir;
    // The folder cannot be made because a file holds its name.
    writeAll(dir.filePath(QStringLiteral("vantrel")), "a file, not a folder");
    SettingsFile defaults(dir.filePath(QStringLiteral("vantrel/settings.json")));
    EXPECT_FALSE(defaults.set(QStringLiteral("alertsEnabled"), true));
    EXPECT_EQ(defaults.boolValue(QStringLiteral("alertsEnabled")), true);
    EXPECT_FALSE(defaults.remove(QStringLiteral("alertsEnabled")));
    EXPECT_FALSE(defaults.value(QStringLiteral("alertsEnabled")).has_value());
}

TEST(SettingsFileWriteFailureTest, AFullDiskKeepsTheEarlierFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    SettingsFile defaults(path);
    ASSERT_TRUE(defaults.set(QStringLiteral("graphColor"), QStringLiteral("teal")));
    const QByteArray before = readAll(path);
    {
        // Room for a part of the new file only; the whole of it is still far below Qt's buffer.
        const FileSizeLimit fullDisk(before.size() + 8);
        EXPECT_FALSE(defaults.set(QStringLiteral("note"), QString(200, u'x')));
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("settings.json")});
}

}  // namespace
