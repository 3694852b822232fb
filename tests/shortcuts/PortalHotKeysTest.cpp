#include "core/SettingsFile.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/PortalHotKeys.h"
#include "shortcuts/ShortcutRecorder.h"
#include "support/PrivateSessionBus.h"
#include "support/QStringPrinter.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A Wayland session whose bus has no desktop portal: nothing may look as if it worked.
TEST(PortalHotKeysTest, SessionWithoutThePortalHasNoGlobalShortcuts) {
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << bus.failure().toStdString();
    const auto connection = QDBusConnection::connectToBus(bus.address(), QStringLiteral("portal"));
    auto backend = std::make_unique<PortalHotKeys>(connection);
    const QSignalSpy asked(backend.get(), &PortalHotKeys::askedChanged);
    QTemporaryDir dir;
    SettingsFile defaults(dir.filePath(QStringLiteral("settings.json")));
    KeyboardShortcuts shortcuts(defaults, std::move(backend));
    shortcuts.onKeyUp(app_shortcut::toggleCompact(), [] {});
    const ShortcutRecorder recorder(shortcuts, app_shortcut::toggleCompact(),
                                    QStringLiteral("Toggle Compact View"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }, 5000));
    EXPECT_FALSE(shortcuts.hotKeysAvailable());
    EXPECT_EQ(shortcuts.registration(QStringLiteral("toggleCompact"))->outcome,
              HotKeyOutcome::unavailable);
    EXPECT_EQ(recorder.message(), "Global shortcuts are not available in this session");
    QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
}

}  // namespace
