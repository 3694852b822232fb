// The X11 hot keys against a real X server (run by run_under_xvfb.py), typed with xdotool.
#include "core/SettingsFile.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/X11HotKeys.h"
#include "support/QStringPrinter.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <vector>

namespace {

// Xvfb's keyboard gives NumLock the Mod2 bit.
constexpr std::uint16_t numLockBit = XCB_MOD_MASK_2;
constexpr std::uint16_t superShift = XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT;

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
        << arguments.join(' ').toStdString();
}

// Another client of the same X server.
class OtherClient {
public:
    OtherClient() : connection(xcb_connect(nullptr, nullptr)) {
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        symbols = xcb_key_symbols_alloc(connection);
    }
    ~OtherClient() {
        xcb_key_symbols_free(symbols);
        xcb_disconnect(connection);
    }
    xcb_keycode_t keyCode(xcb_keysym_t keysym) {
        xcb_key_symbols_free(symbols);  // the mapping as it is now
        symbols = xcb_key_symbols_alloc(connection);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        return code;
    }
    bool grab(xcb_keycode_t code, std::uint16_t modifiers) {
        xcb_generic_error_t* error = xcb_request_check(
            connection, xcb_grab_key_checked(connection, 0, root, modifiers, code,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    std::uint16_t modifierState() {
        auto* reply =
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
        const std::uint16_t state = reply ? reply->mask & 0xff : 0;
        std::free(reply);
        return state;
    }
    // Puts `keysyms` on key `code`, in every column the keyboard has.
    void setKey(xcb_keycode_t code, std::vector<xcb_keysym_t> keysyms) {
        auto* mapping = xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, code, 1), nullptr);
        keysyms.resize(mapping->keysyms_per_keycode, XCB_NO_SYMBOL);
        xcb_change_keyboard_mapping(connection, 1, code, mapping->keysyms_per_keycode,
                                    keysyms.data());
        std::free(mapping);
        xcb_flush(connection);
    }

    xcb_connection_t* connection;
    xcb_window_t root;
    xcb_key_symbols_t* symbols;
};

// Counts the key presses the program hears on the root window, before the hot keys see them.
class PressCounter final : public QAbstractNativeEventFilter {
public:
    PressCounter() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~PressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        presses +=
            (static_cast<xcb_generic_event_t*>(message)->response_type & 0x7f) == XCB_KEY_PRESS;
        return false;
    }
    int presses = 0;
};

class X11HotKeysTest : public ::testing::Test {
protected:
    X11HotKeysTest() {
        auto backend = X11HotKeys::forApplication();
        EXPECT_NE(backend, nullptr);
        hotKeys = backend.get();
        shortcuts = std::make_unique<KeyboardShortcuts>(defaults, std::move(backend));
    }
    bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 10000);
    }
    void record(const ShortcutName& name) {
        shortcuts->onKeyDown(name, [this, name] { ran.append(name.rawValue + " down"); });
        shortcuts->onKeyUp(name, [this, name] { ran.append(name.rawValue + " up"); });
    }

    QTemporaryDir dir;
    SettingsFile defaults{dir.filePath(QStringLiteral("settings.json"))};
    X11HotKeys* hotKeys = nullptr;
    std::unique_ptr<KeyboardShortcuts> shortcuts;
    QStringList ran;
    OtherClient other;
};

TEST_F(X11HotKeysTest, GrabFiresWithNumLockOffAndOnAndRunsKeyUpOnRelease) {
    record(app_shortcut::toggleDashboard());
    ASSERT_EQ(shortcuts->registration(QStringLiteral("toggleOverlay"))->outcome,
              HotKeyOutcome::registered);

    // Held until the server repeats the key: the hot key went down once and up once.
    const PressCounter counter;
    xdotool({"keydown", "super+shift+o"});
    ASSERT_TRUE(waitFor([&] { return counter.presses >= 3; }));
    xdotool({"keyup", "o"});
    ASSERT_TRUE(waitFor([&] { return ran.size() == 2; })) << ran.join(",").toStdString();
    xdotool({"keyup", "super+shift"});

    xdotool({"key", "Num_Lock"});
    ASSERT_TRUE(waitFor([&] { return other.modifierState() & numLockBit; }));
    xdotool({"key", "super+shift+o"});
    EXPECT_TRUE(waitFor([&] { return ran.size() == 4; }));
    xdotool({"key", "Num_Lock"});
    EXPECT_EQ(ran, (QStringList{"toggleOverlay down", "toggleOverlay up", "toggleOverlay down",
                                "toggleOverlay up"}));
}

// Key events as a busy program reads them: several at once, or a repeat's release in one read
// and its press in the next. A key held down is one press and one release whatever the reads.
TEST_F(X11HotKeysTest, EventsReadTogetherOrApartGiveOneDownAndOneUpPerHold) {
    record(app_shortcut::toggleDashboard());
    const xcb_keycode_t o = other.keyCode(app_shortcut::keysymO);
    const auto deliver = [&](bool press, std::uint32_t time) {
        xcb_key_press_event_t event{};
        event.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        event.detail = o;
        event.time = time;
        event.root = event.event = other.root;
        event.state = superShift;
        hotKeys->nativeEventFilter("xcb_generic_event_t", &event, nullptr);
    };

    // Pressed, released, pressed and released in one read while the key is up: one hold.
    for (const auto& [press, time] :
         {std::pair{true, 10u}, {false, 20u}, {true, 30u}, {false, 40u}}) {
        deliver(press, time);
    }
    ASSERT_TRUE(waitFor([&] { return ran.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (QStringList{"toggleOverlay down", "toggleOverlay up"}));

    // Held for real: a release read alone while the key is still down is the key repeating.
    ran.clear();
    xdotool({"keydown", "super+shift+o"});
    ASSERT_TRUE(waitFor([&] { return ran.size() == 1; }));
    deliver(false, 50);
    QCoreApplication::processEvents();
    deliver(true, 60);
    QCoreApplication::processEvents();
    xdotool({"keyup", "o"});
    xdotool({"keyup", "super+shift"});
    ASSERT_TRUE(waitFor([&] { return ran.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (QStringList{"toggleOverlay down", "toggleOverlay up"}));
}

TEST_F(X11HotKeysTest, CombinationAnotherClientHoldsIsTakenAndLeavesNoGrabBehind) {
    // The other client holds only the NumLock form: the plain form, grabbed first, goes again.
    const xcb_keycode_t p = other.keyCode(app_shortcut::keysymP);
    ASSERT_TRUE(other.grab(p, superShift | numLockBit));
    testing::internal::CaptureStdout();
    record(app_shortcut::toggleCompact());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey Super+Shift+P: 10\n");
    EXPECT_EQ(shortcuts->registration(QStringLiteral("toggleCompact"))->outcome,
              HotKeyOutcome::taken);
    EXPECT_TRUE(other.grab(p, superShift));
    EXPECT_TRUE(other.grab(p, superShift | XCB_MOD_MASK_LOCK));
}

TEST_F(X11HotKeysTest, KeyboardMappingChangeMovesTheGrab) {
    record(app_shortcut::toggleDashboard());
    const xcb_keycode_t o = other.keyCode(app_shortcut::keysymO);
    constexpr xcb_keycode_t spare = 8;  // no symbol on Xvfb's keyboard
    QSignalSpy renewed(shortcuts.get(), &KeyboardShortcuts::shortcutChanged);
    other.setKey(o, {});
    other.setKey(spare, {app_shortcut::keysymO, 'O'});
    ASSERT_TRUE(waitFor([&] { return other.keyCode(app_shortcut::keysymO) == spare; }));
    ASSERT_TRUE(waitFor([&] { return !renewed.isEmpty(); }));

    xdotool({"key", "super+shift+o"});
    EXPECT_TRUE(waitFor([&] { return ran.size() == 2; }));
    other.setKey(spare, {});
    other.setKey(o, {app_shortcut::keysymO, 'O'});
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
