#include "core/SettingsFileTransfer.h"
#include "core/SettingsTable.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"
#include "views/settings/SettingsView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Failures show the value as the file would hold it.
static void PrintTo(const QJsonValue& value, std::ostream* out) {
    *out << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

// A value of the entry's own type and rules other than its default.
QJsonValue sampleOf(const SettingDeclaration& entry) {
    for (const SettingChoice& choice : entry.choices) {
        if (choice.value != entry.fallback) {
            return choice.value;
        }
    }
    switch (entry.type) {
        case SettingType::flag:
            return !entry.fallback.toBool();
        case SettingType::number:
            return entry.fallback.toDouble() + 1.5;
        case SettingType::wholeNumber:
            return entry.fallback.toInt() + 1;
        case SettingType::text:
            return entry.fallback.toString() + QStringLiteral("-sample");
        case SettingType::choice:
            break;
        case SettingType::point:
            return QJsonObject{{"x", -7}, {"y", 9}};
        case SettingType::metricList: {
            QJsonArray items = entry.fallback.toArray();
            for (StatusMetric metric : allStatusMetrics) {
                items.prepend(QJsonObject{
                    {"metric", rawValue(metric)}, {"enabled", true}, {"displayMode", "graphOnly"}});
            }
            return items;
        }
        case SettingType::textMap:
            return QJsonObject{{"platform_nct6775_656/fan2", "Rear fan"}};
        case SettingType::textList:
            return QJsonArray{"platform_nct6775_656/in3"};
    }
    return {};
}

QJsonObject objectIn(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

QString written(const QString& path, const QJsonObject& object) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(object).toJson());
    return path;
}

class SettingsTableTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// Each declared setting saves, loads, exports and imports through the table alone, and its
// row is in the Settings window (or the table says who changes it instead).
TEST_F(SettingsTableTest, EverySettingSavesLoadsExportsImportsAndIsShown) {
    MonitorHarness shown;
    const SettingsView view(shown.settings, *shown.monitor, shown.defaults(), nullptr, {});
    SettingsFile source(path("source.json"));
    AppSettings changed(source);
    for (const SettingDeclaration& entry : settingsTable()) {
        SCOPED_TRACE(entry.key.toStdString());
        const QJsonValue sample = sampleOf(entry);
        ASSERT_EQ(changed.apply(entry.setting, sample), std::nullopt);
        const QJsonValue held = changed.value(entry.setting);
        ASSERT_NE(held, AppSettings(shown.defaults()).value(entry.setting));
        EXPECT_EQ(objectIn(source.filePath()).value(entry.key), held);  // saved
        SettingsFile reread(source.filePath());
        EXPECT_EQ(AppSettings(reread).value(entry.setting), held);  // loaded

        ASSERT_TRUE(exportSettingsFile(changed, source, path("export.json")).ok());
        EXPECT_EQ(objectIn(path("export.json")).value(entry.key), held);  // exported
        QTemporaryDir targetDir;
        SettingsFile target(targetDir.filePath(QStringLiteral("settings.json")));
        AppSettings imported(target);
        const QString one = written(path("one.json"), {{entry.key, held}});
        const SettingsFileResult result = importSettingsFile(imported, target, one);
        EXPECT_TRUE(result.ignored.isEmpty());
        EXPECT_EQ(imported.value(entry.setting), held);  // imported

        // No type takes an object holding a list: it is refused with why, never made a value.
        const QString wrong =
            written(path("wrong.json"), {{entry.key, QJsonObject{{"x", QJsonArray()}}}});
        const SettingsFileResult refused = importSettingsFile(imported, target, wrong);
        ASSERT_EQ(refused.ignored.size(), 1);
        EXPECT_FALSE(refused.ignored.front().reason.isEmpty());
        EXPECT_EQ(imported.value(entry.setting), held);

        if (entry.section == SettingsWindowSection::elsewhere) {
            EXPECT_FALSE(entry.shownElsewhere.isEmpty());
        } else {
            EXPECT_NE(view.findChild<QWidget*>(entry.key), nullptr);
        }
    }
    // Every key the store wrote is declared.
    QSet<QString> declared;
    for (const SettingDeclaration& entry : settingsTable()) {
        declared.insert(entry.key);
    }
    for (const QString& key : objectIn(source.filePath()).keys()) {
        EXPECT_TRUE(declared.contains(key)) << key.toStdString();
    }
}

// A property with a change signal of its own but no entry would load, export and import
// nothing.
TEST_F(SettingsTableTest, EveryChangeSignalOfTheStoreBelongsToOneEntryInTheTablesOrder) {
    QStringList declared;
    for (int i = 0; i < settingsTable().size(); ++i) {
        const SettingDeclaration& entry = settingsTable()[i];
        EXPECT_EQ(static_cast<int>(entry.setting), i) << entry.key.toStdString();
        declared.append(QString::fromLatin1(QMetaMethod::fromSignal(entry.changed).name()));
    }
    EXPECT_EQ(declared.size(), static_cast<qsizetype>(settingCount));
    QStringList announced;
    const QMetaObject& meta = AppSettings::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        // statusItemLookChanged is no setting's: entries say whether they emit it too.
        if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("Changed") &&
            method.name() != "statusItemLookChanged") {
            announced.append(QString::fromLatin1(method.name()));
        }
    }
    declared.sort();
    announced.sort();
    EXPECT_EQ(announced, declared);
}

}  // namespace
