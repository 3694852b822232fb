#include "core/AppSettings.h"
#include "core/LoginItem.h"
#include "core/NotificationCenter.h"
#include "core/UserDefaults.h"
#include "support/FakeClock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class NoLoginItem final : public LoginItem {
public:
    NoLoginItem() : LoginItem(QString(), QString()) {}
    bool setEnabled(bool) override { return true; }
};

struct Store {
    explicit Store(const QString& path) : defaults(path), settings(defaults, center, loginItem) {}
    NotificationCenter center;
    NoLoginItem loginItem;
    UserDefaults defaults;
    AppSettings settings;
};

TEST(StatusItemSettingsTest, ModeShapeAndStripPlaceSurviveARestart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    {
        Store store(path);
        EXPECT_EQ(store.settings.statusItemMode(), StatusItemMode::automatic);
        EXPECT_FALSE(store.settings.statusStripPosition());
        EXPECT_EQ(store.settings.statusItemShape(), StatusItemShape::automatic);
        int posted = 0;
        QObject::connect(&store.center, &NotificationCenter::notified,
                         [&](const QString& name) { posted += name == "settingsDidChange"; });
        int shapeChanges = 0;
        QObject::connect(&store.settings, &AppSettings::statusItemShapeChanged,
                         [&] { ++shapeChanges; });
        store.settings.setStatusItemMode(StatusItemMode::trayAndStrip);
        store.settings.setStatusStripPosition(QPoint(-40, 1200));
        store.settings.setStatusItemShape(StatusItemShape::square);
        store.settings.setStatusItemShape(StatusItemShape::square);
        EXPECT_EQ(posted, 2);
        EXPECT_EQ(shapeChanges, 1);
    }
    Store store(path);
    EXPECT_EQ(store.settings.statusItemMode(), StatusItemMode::trayAndStrip);
    EXPECT_EQ(store.settings.statusItemShape(), StatusItemShape::square);
    EXPECT_EQ(store.settings.statusStripPosition(), QPoint(-40, 1200));
}

TEST(StatusItemSettingsTest, UnknownOrMistypedValuesReadAsDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"statusItemMode": "Strip", "statusItemShape": 1,
                   "statusStripPosition": {"x": "10", "y": 4}})");
    file.close();
    Store store(path);
    EXPECT_EQ(store.settings.statusItemMode(), StatusItemMode::automatic);
    EXPECT_EQ(store.settings.statusItemShape(), StatusItemShape::automatic);
    EXPECT_FALSE(store.settings.statusStripPosition());
}

}  // namespace
