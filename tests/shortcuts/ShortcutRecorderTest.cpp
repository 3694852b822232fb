#include "FakeHotKeys.h"
#include "core/SettingsFile.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/ShortcutRecorder.h"
#include "support/QStringPrinter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace shortcut_modifier;

constexpr quint32 commaKey = 59;  // the X key code of "," on a US keyboard

class ShortcutRecorderTest : public ::testing::Test {
protected:
    ShortcutRecorderTest() {
        auto backend = std::make_unique<FakeHotKeys>();
        desktop = backend.get();
        desktop->keyboard.insert(commaKey, app_shortcut::keysymComma);
        shortcuts = std::make_unique<KeyboardShortcuts>(defaults, std::move(backend));
        for (const ShortcutName& name : {app_shortcut::toggleCompact(), dashboard}) {
            shortcuts->onKeyUp(name, [] {});
        }
        recorder = std::make_unique<ShortcutRecorder>(*shortcuts, dashboard,
                                                      QStringLiteral("Toggle Overlay"));
    }

    // A key as the X11 platform delivers it: its key code and the keysym it typed.
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 keyCode = 0, quint32 keysym = 0) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, keyCode, keysym, 0);
        QApplication::sendEvent(recorder->findChild<QPushButton*>(), &event);
    }
    void click() { recorder->findChild<QPushButton*>()->click(); }

    const ShortcutName dashboard = app_shortcut::toggleDashboard();
    QTemporaryDir dir;
    SettingsFile defaults{dir.filePath(QStringLiteral("settings.json"))};
    FakeHotKeys* desktop = nullptr;
    std::unique_ptr<KeyboardShortcuts> shortcuts;
    std::unique_ptr<ShortcutRecorder> recorder;
};

TEST_F(ShortcutRecorderTest, RecordsRefusesCancelsAndClears) {
    EXPECT_EQ(recorder->fieldText(), "Super+Shift+O");
    EXPECT_EQ(recorder->accessibleName(), "Toggle Overlay");
    EXPECT_EQ(recorder->findChild<QToolButton*>()->accessibleName(),
              "Clear Toggle Overlay shortcut");

    click();
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_TRUE(desktop->registered.empty());  // the hot keys rest while recording
    EXPECT_TRUE(shortcuts->recorderActive());

    press(Qt::Key_A, Qt::ShiftModifier, 38, 'A');
    EXPECT_EQ(recorder->message(), "Shift+A needs Ctrl, Alt or Super");
    press(Qt::Key_P, Qt::MetaModifier | Qt::ShiftModifier, 33, 'P');
    EXPECT_EQ(recorder->message(), "Super+Shift+P is already used by another Vantrel shortcut");
    EXPECT_TRUE(recorder->isRecording());

    // Shift+Comma types "<": the key's own symbol is what is kept.
    press(Qt::Key_Less, Qt::MetaModifier | Qt::ShiftModifier, commaKey, '<');
    const Shortcut superShiftComma{app_shortcut::keysymComma, super | shift};
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_FALSE(shortcuts->recorderActive());
    EXPECT_EQ(shortcuts->getShortcut(dashboard), superShiftComma);
    EXPECT_EQ(recorder->fieldText(), "Super+Shift+Comma");
    EXPECT_EQ(desktop->shortcuts().size(), 2);  // registered again, the new one among them
    EXPECT_TRUE(desktop->shortcuts().contains(superShiftComma));

    click();
    press(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(shortcuts->getShortcut(dashboard), superShiftComma);

    click();
    press(Qt::Key_Backspace, Qt::NoModifier);
    EXPECT_EQ(shortcuts->getShortcut(dashboard), std::nullopt);
    EXPECT_EQ(recorder->fieldText(), "Record Shortcut");
    EXPECT_FALSE(shortcuts->recorderActive());
}

TEST_F(ShortcutRecorderTest, SaysWhatStandsInTheWay) {
    const Shortcut ctrlAltT{0x74, control | alt};
    desktop->taken.append(ctrlAltT);
    click();
    press(Qt::Key_T, Qt::ControlModifier | Qt::AltModifier, 28, 't');
    EXPECT_EQ(recorder->message(), "Ctrl+Alt+T is taken by another program");
    EXPECT_TRUE(recorder->findChild<QLabel*>()->isVisibleTo(recorder.get()));

    desktop->offered = false;
    recorder->findChild<QToolButton*>()->click();
    EXPECT_EQ(recorder->message(), "Global shortcuts are not available in this session");
}

}  // namespace
