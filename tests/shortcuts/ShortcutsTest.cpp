#include "FakeHotKeys.h"
#include "core/SettingsFile.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/ShortcutText.h"
#include "support/QStringPrinter.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace shortcut_modifier;

const ShortcutName withDefault = app_shortcut::toggleDashboard();  // Super+Shift+O
const ShortcutName withoutDefault{QStringLiteral("custom"), std::nullopt};
const Shortcut ctrlAltK{0x6b, control | alt};

// A settings file, a log of the changes the shortcuts announce and the shortcuts over a fake
// desktop; `restart` makes a new store over the same file, as the next run of the program does.
class ShortcutsTest : public ::testing::Test {
protected:
    ShortcutsTest() { restart(); }

    QString path() const { return dir.filePath(QStringLiteral("settings.json")); }
    void restart() {
        shortcuts.reset();
        defaults = std::make_unique<SettingsFile>(path());
        auto backend = std::make_unique<FakeHotKeys>();
        desktop = backend.get();
        shortcuts = std::make_unique<KeyboardShortcuts>(*defaults, std::move(backend));
        QObject::connect(shortcuts.get(), &KeyboardShortcuts::shortcutChanged,
                         [this](const QString& name) { posted.append(name); });
    }
    QJsonValue stored(const ShortcutName& name) {
        QFile file(path());
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll())
            .object()
            .value(QStringLiteral("KeyboardShortcuts_") + name.rawValue);
    }

    QTemporaryDir dir;
    QStringList posted;
    std::unique_ptr<SettingsFile> defaults;
    FakeHotKeys* desktop = nullptr;
    std::unique_ptr<KeyboardShortcuts> shortcuts;
};

TEST_F(ShortcutsTest, StoredFormSurvivesRestarts) {
    // Nothing stored: the default, or nothing.
    EXPECT_EQ(shortcuts->getShortcut(withDefault), withDefault.defaultShortcut);
    EXPECT_EQ(shortcuts->getShortcut(withoutDefault), std::nullopt);

    shortcuts->setShortcut(ctrlAltK, withDefault);
    shortcuts->setShortcut(ctrlAltK, withoutDefault);
    EXPECT_EQ(stored(withDefault), QJsonValue(R"({"carbonKeyCode":107,"carbonModifiers":12})"));
    restart();
    EXPECT_EQ(shortcuts->getShortcut(withDefault), ctrlAltK);
    EXPECT_EQ(shortcuts->getShortcut(withoutDefault), ctrlAltK);

    // Clearing: false where a default would come back, no value where none would.
    shortcuts->setShortcut(std::nullopt, withDefault);
    shortcuts->setShortcut(std::nullopt, withoutDefault);
    EXPECT_EQ(stored(withDefault), QJsonValue(false));
    EXPECT_TRUE(stored(withoutDefault).isUndefined());
    restart();
    EXPECT_EQ(shortcuts->getShortcut(withDefault), std::nullopt);
    EXPECT_EQ(shortcuts->getShortcut(withoutDefault), std::nullopt);
    EXPECT_EQ(posted, (QStringList{withDefault.rawValue, withoutDefault.rawValue,
                                   withDefault.rawValue, withoutDefault.rawValue}));
}

TEST_F(ShortcutsTest, UndecodableStoredValueIsNoShortcutAndRegistersNothing) {
    const QJsonValue values[] = {
        QStringLiteral("Super+Shift+O"),
        QStringLiteral(R"({"carbonKeyCode":"o","carbonModifiers":65})"),
        QStringLiteral(R"({"carbonKeyCode":111.5,"carbonModifiers":65})"),
        QStringLiteral(R"({"carbonKeyCode":0,"carbonModifiers":65})"),
        QStringLiteral(R"({"carbonKeyCode":111,"carbonModifiers":256})"),
        QStringLiteral(R"({"carbonKeyCode":111})"),
        QStringLiteral("[111,65]"),
        QJsonValue(111),
        QJsonValue(true),
        QJsonObject{{QStringLiteral("carbonKeyCode"), 111},
                    {QStringLiteral("carbonModifiers"), 65}},
    };
    for (const QJsonValue& value : values) {
        defaults->set(QStringLiteral("KeyboardShortcuts_toggleOverlay"), value);
        restart();
        testing::internal::CaptureStdout();
        shortcuts->onKeyUp(withDefault, [] {});
        EXPECT_EQ(shortcuts->getShortcut(withDefault), std::nullopt)
            << value.toVariant().toString().toStdString();
        EXPECT_TRUE(desktop->registered.empty());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

// A hand-edited or imported file once had plain "a" and Return grabbed for the whole session.
TEST_F(ShortcutsTest, AStoredCombinationWithoutCtrlAltOrSuperGivesTheDefault) {
    const Shortcut typingKeys[] = {{0x61, 0}, {0xff0d, 0}, {0x61, shift}};
    for (const Shortcut& typing : typingKeys) {
        defaults->set(QStringLiteral("KeyboardShortcuts_toggleOverlay"), encodeShortcut(typing));
        restart();
        shortcuts->onKeyDown(withDefault, [] {});
        EXPECT_EQ(shortcuts->getShortcut(withDefault), withDefault.defaultShortcut)
            << shortcutText(typing).toStdString();
        EXPECT_EQ(desktop->shortcuts(), QList<Shortcut>{*withDefault.defaultShortcut});
    }
}

TEST(ShortcutTextTest, TextFormRoundTrips) {
    const struct {
        Shortcut shortcut;
        const char* text;
    } rows[] = {
        {*app_shortcut::toggleCompact().defaultShortcut, "Super+Shift+P"},
        {*app_shortcut::openSettings().defaultShortcut, "Super+Shift+Comma"},
        {{0xffff, control | alt}, "Ctrl+Alt+Delete"},
        {{0xffc2, alt}, "Alt+F5"},
        {{0xff50, control}, "Ctrl+Home"},
        {{0x31, super}, "Super+1"},
        {{0xffab, super | control | alt | shift}, "Super+Ctrl+Alt+Shift+KP_Add"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shortcutText(row.shortcut), QString::fromLatin1(row.text));
        EXPECT_EQ(shortcutFromText(QLatin1String(row.text)), row.shortcut) << row.text;
        EXPECT_EQ(shortcutFromText(QString::fromLatin1(row.text).toLower()), row.shortcut);
        EXPECT_EQ(decodeShortcut(encodeShortcut(row.shortcut)), row.shortcut);
    }
    for (const char* text : {"", "Super+", "Hyper+P", "Super+Shift+NoSuchKey", "Super+Shift"}) {
        EXPECT_EQ(shortcutFromText(QLatin1String(text)), std::nullopt) << text;
    }
}

TEST_F(ShortcutsTest, RegistersWhileActionsAreAttachedAndRunsThemInOrder) {
    QStringList ran;
    shortcuts->setShortcut(ctrlAltK, withoutDefault);
    EXPECT_TRUE(desktop->registered.empty());  // no actions yet
    shortcuts->onKeyDown(withoutDefault, [&] { ran.append("down 1"); });
    shortcuts->onKeyDown(withoutDefault, [&] { ran.append("down 2"); });
    shortcuts->onKeyUp(withoutDefault, [&] { ran.append("up"); });
    EXPECT_EQ(desktop->shortcuts(), QList<Shortcut>{ctrlAltK});
    desktop->type(ctrlAltK);
    EXPECT_EQ(ran, (QStringList{"down 1", "down 2", "up"}));

    // A new combination replaces the old registration; clearing ends it.
    const Shortcut superK{0x6b, super};
    shortcuts->setShortcut(superK, withoutDefault);
    EXPECT_EQ(desktop->shortcuts(), QList<Shortcut>{superK});
    shortcuts->setShortcut(std::nullopt, withoutDefault);
    EXPECT_TRUE(desktop->registered.empty());

    // A recorder at work rests every hot key until it stops.
    shortcuts->onKeyUp(withDefault, [] {});
    const QObject recorder;
    shortcuts->setRecorderActive(&recorder, true);
    EXPECT_TRUE(desktop->registered.empty());
    EXPECT_TRUE(shortcuts->recorderActive());
    shortcuts->setRecorderActive(&recorder, false);
    EXPECT_EQ(desktop->shortcuts(), QList<Shortcut>{*withDefault.defaultShortcut});
    EXPECT_FALSE(shortcuts->recorderActive());
}

TEST_F(ShortcutsTest, CombinationHeldByAnotherProgramPrintsTheErrorLine) {
    desktop->taken.append(*withDefault.defaultShortcut);
    testing::internal::CaptureStdout();
    shortcuts->onKeyUp(withDefault, [] {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey Super+Shift+O: 10\n");
    EXPECT_EQ(shortcuts->registration(withDefault.rawValue)->outcome, HotKeyOutcome::taken);
}

}  // namespace
