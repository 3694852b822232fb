#include "app/shell/OutsideClickRule.h"
#include "app/shell/Shell.h"
#include "platform/DesktopNotifier.h"
#include "status_item/StripFace.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

class FakeFace final : public StatusFace {
public:
    FakeFace(int& shows, QPoint anchor) : shows_(shows), anchor_(anchor) {}
    void show(const StatusPicture& picture) override {
        ++shows_;
        last = picture;
    }
    std::optional<QPoint> anchor() const override { return anchor_; }
    void setShapeChoice(TrayShapeChoice choice) override { shape = choice; }
    Qt::KeyboardModifiers clickModifiers() const override { return held; }
    double wideImageHeight() const override { return wideHeight; }
    StatusPicture last;
    double wideHeight = 0;
    Qt::KeyboardModifiers held;
    std::optional<TrayShapeChoice> shape;

private:
    int& shows_;
    QPoint anchor_;
};

class RecordingNotifier final : public DesktopNotifier {
public:
    void post(const DesktopNotification& notification) override { posted.append(notification); }
    QList<DesktopNotification> posted;
};

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class ShellTest : public ::testing::Test {
protected:
    ShellTest() {
        options.makeStatusNotifierFace = maker(sniFaces, sniShows, QPoint(300, 60));
        options.makeXEmbedFace = maker(xembedFaces, xembedShows, QPoint(600, 30));
        options.makeStripFace = maker(stripFaces, stripShows, QPoint(600, 30));
        options.makeDashboard = [] { return new QWidget; };
        options.makeSettingsWindow = [] { return new QWidget; };
        options.makeHelpWindow = [] { return new QWidget; };
    }

    ShellOptions::FaceMaker maker(int& made, int& shows, QPoint anchor) {
        return [&made, &shows, anchor, this](const MenuFactory& menu) {
            ++made;
            factory = menu;
            return std::make_unique<FakeFace>(shows, anchor);
        };
    }

    Shell& shell() {
        if (!shell_) {
            shell_ = std::make_unique<Shell>(harness.settings, *harness.monitor, harness.clock,
                                             nullptr, options);
            shell_->setStatusNotifierHostPresent(hostAtStart);
            shell_->applicationDidFinishLaunching();
        }
        return *shell_;
    }

    void click(ClickButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        shell().handleClick(button, modifiers, QPoint(600, 10));
        settle();
    }

    bool panelOpen() { return !shell().windows().compactPanel.isNull(); }
    bool dashboardOpen() { return !shell().windows().dashboardWindow.isNull(); }

    MonitorHarness harness;
    bool hostAtStart = false;
    ShellOptions options;
    MenuFactory factory;
    int sniFaces = 0, xembedFaces = 0, stripFaces = 0;
    int sniShows = 0, xembedShows = 0, stripShows = 0;
    std::unique_ptr<Shell> shell_;
};

TEST_F(ShellTest, PanelAndDashboardToggleAndCloseEachOther) {
    click(ClickButton::left);
    ASSERT_TRUE(panelOpen());
    QPointer<QWidget> firstPanel = shell().windows().compactPanel;
    EXPECT_EQ(firstPanel->geometry(), QRect(440, 34, 320, 520));  // under the item
    click(ClickButton::left, Qt::AltModifier);
    EXPECT_FALSE(panelOpen());
    EXPECT_TRUE(dashboardOpen());
    EXPECT_TRUE(firstPanel.isNull());  // closed panels are gone, not hidden
    click(ClickButton::left);
    EXPECT_FALSE(dashboardOpen());
    EXPECT_TRUE(panelOpen());
    EXPECT_NE(shell().windows().compactPanel, firstPanel);  // a new panel on every open
    click(ClickButton::left);
    EXPECT_FALSE(panelOpen());
    click(ClickButton::middle);
    EXPECT_TRUE(dashboardOpen());
    click(ClickButton::middle);
    EXPECT_FALSE(dashboardOpen());
}

TEST_F(ShellTest, MenuShowsOnRightAndCtrlClickAndIsDroppedAfterUse) {
    for (auto [button, modifiers] :
         {std::pair{ClickButton::right, Qt::KeyboardModifiers()},
          std::pair{ClickButton::left, Qt::KeyboardModifiers(Qt::ControlModifier)}}) {
        click(button, modifiers);
        QPointer<QMenu> menu = shell().openMenu();
        ASSERT_TRUE(menu);
        QStringList titles;
        for (QAction* action : menu->actions()) {
            titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        EXPECT_EQ(titles, (QStringList{"Open Compact View", "Open Dashboard", "Settings", "Help",
                                       "Support", "-", "Quit"}));
        EXPECT_EQ(menu->actions()[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        EXPECT_EQ(menu->actions()[6]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        menu->hide();
        settle();
        EXPECT_TRUE(menu.isNull());
        EXPECT_FALSE(panelOpen());
    }
    click(ClickButton::left);
    EXPECT_TRUE(panelOpen());
}

TEST_F(ShellTest, MenuActionsReachTheShell) {
    std::unique_ptr<QMenu> menu = shell().buildMenu();
    menu->actions()[1]->trigger();  // Open Dashboard
    EXPECT_TRUE(dashboardOpen());
    const QPointer<QWidget> dashboard = shell().windows().dashboardWindow;
    shell().buildMenu()->actions()[1]->trigger();  // Open Dashboard again
    settle();
    EXPECT_EQ(shell().windows().dashboardWindow, dashboard);  // raised, not replaced
    menu = shell().buildMenu();
    menu->actions()[0]->trigger();  // Open Compact View
    EXPECT_TRUE(panelOpen());
    EXPECT_FALSE(dashboardOpen());
    bool quit = false;
    QObject::connect(&shell(), &Shell::quitRequested, [&] { quit = true; });
    shell().buildMenu()->actions()[6]->trigger();
    EXPECT_TRUE(quit);
    ASSERT_TRUE(factory);  // every face is handed the same menu
    EXPECT_EQ(factory()->actions().size(), 7);
}

TEST_F(ShellTest, SupportIsDisabledWhileItsLocalPageIsMissing) {
    QTemporaryFile page;
    ASSERT_TRUE(page.open());
    struct {
        QString url;
        bool enabled;
    } cases[] = {{QUrl::fromLocalFile(page.fileName()).toString(), true},
                 {QStringLiteral("file:///no/such/README.md"), false},
                 {QStringLiteral("https://example.org/support"), true},
                 {QString(), false}};
    for (const auto& c : cases) {
        options.supportUrl = c.url;
        shell_.reset();
        EXPECT_EQ(shell().buildMenu()->actions()[4]->isEnabled(), c.enabled) << c.url.toStdString();
    }
}

TEST_F(ShellTest, OrdinaryWindowsKeepTheRegularRuleUntilTheLastCloses) {
    click(ClickButton::left);
    shell().openSettingsWindow();
    EXPECT_FALSE(panelOpen());  // opening a window closes the floating panels
    QPointer<QWidget> settingsWindow = shell().windows().settingsWindow;
    shell().openSettingsWindow();
    EXPECT_EQ(shell().windows().settingsWindow, settingsWindow);  // only brought to the front
    shell().openHelpWindow();
    EXPECT_TRUE(shell().windows().ordinaryWindowOpen());
    settingsWindow->close();
    settle();
    EXPECT_TRUE(shell().windows().settingsWindow.isNull());
    EXPECT_TRUE(shell().windows().ordinaryWindowOpen());
    shell().windows().helpWindow->close();
    settle();
    EXPECT_FALSE(shell().windows().ordinaryWindowOpen());
}

TEST_F(ShellTest, WindowsNotBuiltYetLeaveTheirSlotsEmpty) {
    options.makeDashboard = nullptr;
    options.makeSettingsWindow = nullptr;
    click(ClickButton::left, Qt::AltModifier);
    shell().openSettingsWindow();
    EXPECT_FALSE(dashboardOpen());
    EXPECT_FALSE(shell().windows().ordinaryWindowOpen());
}

TEST_F(ShellTest, AReportWithSamplesOpensItsWindowInPlaceOfTheLastOne) {
    int made = 0;
    options.makeReportWindow = [&made] {
        ++made;
        return new QWidget;
    };
    shell();
    FakeRecorder& recorder = *harness.fakes.recorder;
    SessionReport report;
    recorder.setLastReport(report);  // no samples: no window
    EXPECT_EQ(made, 0);
    report.sampleCount = 1;
    recorder.setLastReport(report);
    const QPointer<QWidget> first = shell().windows().reportWindow;
    ASSERT_FALSE(first.isNull());
    report.sampleCount = 2;
    recorder.setLastReport(report);
    settle();
    EXPECT_EQ(made, 2);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(shell().windows().reportWindow.isNull());
}

TEST_F(ShellTest, PressOutsideClosesThePanelWithoutTheItemsClickReopeningIt) {
    click(ClickButton::left);
    shell().handleOutsideClick(QPoint(500, 200), leftButton);  // inside the panel
    EXPECT_TRUE(panelOpen());
    shell().handleOutsideClick(QPoint(5, 590), leftButton);
    EXPECT_FALSE(panelOpen());
    // The same click's activation of a tray item arrives just after the press.
    harness.clock.advance(std::chrono::milliseconds(100));
    click(ClickButton::left);
    EXPECT_FALSE(panelOpen());
    harness.clock.advance(std::chrono::seconds(1));
    click(ClickButton::left);
    EXPECT_TRUE(panelOpen());
}

TEST_F(ShellTest, PressesInOtherWindowsOrOfOtherButtonsCloseNothing) {
    shell().openSettingsWindow();
    click(ClickButton::middle);  // the dashboard, over Settings
    ASSERT_TRUE(dashboardOpen());
    shell().windows().settingsWindow->setGeometry(20, 300, 200, 200);
    shell().windows().dashboardWindow->setGeometry(400, 20, 200, 200);
    shell().handleOutsideClick(QPoint(100, 400), leftButton);  // in Settings
    EXPECT_TRUE(dashboardOpen());
    click(ClickButton::left);
    ASSERT_TRUE(panelOpen());
    for (int button : {middleButton, 4, 5, 6, 7}) {
        shell().handleOutsideClick(QPoint(5, 590), button);
        EXPECT_TRUE(panelOpen()) << button;
    }
    shell().handleOutsideClick(QPoint(5, 590), rightButton);
    EXPECT_FALSE(panelOpen());
}

// A press on the panel where no control is, as the toolkit delivers it: to the widget under
// the pointer, passed on to the window when that widget does not take it.
void pressAndDrag(QWidget& panel, QPoint local, QPoint by) {
    QWidget* target = panel.childAt(local) ? panel.childAt(local) : &panel;
    ASSERT_FALSE(qobject_cast<QAbstractButton*>(target) || qobject_cast<QAbstractSlider*>(target))
        << target->metaObject()->className();
    const QPoint from = panel.mapToGlobal(local);
    const auto send = [target](QEvent::Type type, QPoint global, Qt::MouseButton button,
                               Qt::MouseButtons held) {
        QMouseEvent event(type, target->mapFromGlobal(global), global, button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, from + by / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, from + by, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton);
}

TEST_F(ShellTest, ThePanelMovesByItsBackgroundAndClosesOnEscape) {
    click(ClickButton::left);
    ASSERT_TRUE(panelOpen());
    QWidget& panel = *shell().windows().compactPanel;
    const QPoint start = panel.pos();
    for (const QPoint local : {QPoint(2, 260), QPoint(4, 40)}) {
        const QPoint before = panel.pos();
        pressAndDrag(panel, local, QPoint(-60, -10));
        EXPECT_EQ(panel.pos(), before + QPoint(-60, -10)) << local.x() << "," << local.y();
    }
    EXPECT_EQ(panel.pos(), start + QPoint(-120, -20));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&panel, &escape);
    settle();
    EXPECT_FALSE(panelOpen());
}

// A host's tooltip under the pointer resting on the item would cover the open panel's figures.
TEST_F(ShellTest, FacesShowNoTooltipWhileTheCompactPanelIsOpen) {
    shell();
    const auto* face = dynamic_cast<FakeFace*>(shell().faces().front());
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(face->last.toolTip.isEmpty());
    click(ClickButton::left);
    ASSERT_TRUE(panelOpen());
    EXPECT_TRUE(face->last.toolTip.isEmpty());
    EXPECT_TRUE(face->last.toolTipFigures.isEmpty());
    click(ClickButton::left);
    settle();
    ASSERT_FALSE(panelOpen());
    EXPECT_FALSE(face->last.toolTip.isEmpty());
}

TEST_F(ShellTest, FacesFollowTheModeAndTheTrayHost) {
    shell();
    EXPECT_EQ(shell().faces().size(), 1u);
    EXPECT_EQ(stripFaces, 1);
    shell().setStatusNotifierHostPresent(true);
    EXPECT_EQ(sniFaces, 1);
    ASSERT_EQ(shell().faces().size(), 1u);  // the strip gave way to the tray
    harness.settings.setStatusItemMode(StatusItemMode::trayAndStrip);
    EXPECT_EQ(shell().faces().size(), 2u);
    shell().setStatusNotifierHostPresent(false);  // the tray host went away
    EXPECT_EQ(shell().facePlan(), (FacePlan{false, false, true}));
    EXPECT_EQ(shell().faces().size(), 1u);
}

TEST_F(ShellTest, AHostThatRefusesTheItemLeavesTheStripUntilItComesAgain) {
    hostAtStart = true;
    ASSERT_EQ(shell().facePlan(), (FacePlan{true, false, false}));
    emit shell().faces().front()->refused();
    settle();
    EXPECT_EQ(shell().facePlan(), (FacePlan{false, false, true}));
    EXPECT_EQ(shell().faces().size(), 1u);
    shell().setStatusNotifierHostPresent(false);  // the host restarts
    shell().setStatusNotifierHostPresent(true);
    EXPECT_EQ(shell().facePlan(), (FacePlan{true, false, false}));
    EXPECT_EQ(sniFaces, 2);
}

TEST_F(ShellTest, TheTrayItemTakesAShapeChangeAtOnce) {
    harness.settings.setStatusItemShape(StatusItemShape::square);
    hostAtStart = true;
    const auto* face = dynamic_cast<FakeFace*>(shell().faces().front());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->shape, TrayShapeChoice::Square);
    for (auto [shape, choice] :
         {std::pair{StatusItemShape::wide, TrayShapeChoice::Wide},
          std::pair{StatusItemShape::automatic, TrayShapeChoice::Automatic}}) {
        harness.settings.setStatusItemShape(shape);
        EXPECT_EQ(face->shape, choice);
    }
    EXPECT_EQ(sniFaces, 1);  // the same item, not a new one
}

// A tray host draws the item at its own icon height: the wide image is drawn at that height
// rather than scaled down by the host, and the strip beside it keeps its thickness.
TEST_F(ShellTest, TheTrayItemsWideImageIsDrawnAtItsHostsIconHeight) {
    hostAtStart = true;
    auto* item = dynamic_cast<FakeFace*>(shell().faces().front());
    ASSERT_NE(item, nullptr);
    const auto heightOf = [](const QImage& image) {
        return image.isNull() ? 0.0 : image.height() / image.devicePixelRatio();
    };
    item->wideHeight = 18;
    emit item->wideImageHeightChanged();
    EXPECT_EQ(heightOf(item->last.wide), 18);

    harness.settings.setStatusItemMode(StatusItemMode::trayAndStrip);
    ASSERT_EQ(shell().faces().size(), 2u);
    const auto* strip = dynamic_cast<FakeFace*>(shell().faces().back());
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(heightOf(strip->last.wide), ShellFaces::barThickness);
    EXPECT_EQ(heightOf(item->last.trayWide), 18);
}

TEST_F(ShellTest, EveryFaceRedrawsAfterStatsAndSettingsChanges) {
    harness.settings.setStatusItemMode(StatusItemMode::trayAndStrip);
    hostAtStart = true;
    shell();
    const int sniBefore = sniShows;
    const int stripBefore = stripShows;
    emit harness.monitor->statsUpdated();
    harness.settings.setStatusItemColorCoded(false);
    EXPECT_EQ(sniShows, sniBefore + 2);
    EXPECT_EQ(stripShows, stripBefore + 2);
    const auto* face = dynamic_cast<FakeFace*>(shell().faces().front());
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(face->last.wide.isNull());
    EXPECT_EQ(face->last.glance.width(), face->last.glance.height());
}

TEST_F(ShellTest, ThePanelHangsFromTheFaceThatWasClicked) {
    harness.settings.setStatusItemMode(StatusItemMode::trayAndStrip);
    hostAtStart = true;
    ASSERT_EQ(shell().faces().size(), 2u);
    for (auto [face, top] : {std::pair{shell().faces().back(), 34},      // the strip
                             std::pair{shell().faces().front(), 64}}) {  // the tray item
        emit face->activated(QPoint(1, 1));
        settle();
        ASSERT_TRUE(panelOpen());
        EXPECT_EQ(shell().windows().compactPanel->y(), top);
        shell().closeCompactPanel();
        settle();
    }
}

// Under load a click is handled after the user let go of Alt: the keys are those of the click,
// as its face reports them, not those held when the shell gets to it.
TEST_F(ShellTest, AClickRoutesByTheKeysTheFaceSawWithIt) {
    auto* face = dynamic_cast<FakeFace*>(shell().faces().front());
    ASSERT_NE(face, nullptr);
    face->held = Qt::AltModifier;
    emit face->activated(QPoint(1, 1));
    settle();
    EXPECT_TRUE(dashboardOpen());
    EXPECT_FALSE(panelOpen());

    StripFace strip(harness.settings);
    QList<Qt::KeyboardModifiers> heard;
    QObject::connect(&strip, &StatusFace::activated, [&] { heard.append(strip.clickModifiers()); });
    for (const Qt::KeyboardModifiers keys :
         {Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::NoModifier)}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, keys);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                            Qt::LeftButton, Qt::NoButton, keys);
        QCoreApplication::sendEvent(strip.window(), &press);
        QCoreApplication::sendEvent(strip.window(), &release);
    }
    EXPECT_EQ(heard, (QList<Qt::KeyboardModifiers>{Qt::AltModifier, Qt::NoModifier}));
}

// An unusable settings file used to be moved aside without a word.
TEST_F(ShellTest, AnUnusableSettingsFileIsToldOnceAtLaunchNamingWhereItIsKept) {
    RecordingNotifier notifier;
    options.notifier = &notifier;
    const QString kept = QStringLiteral("/home/u/.config/vantrel/settings.json.corrupt-x");
    options.unreadableSettings = UnreadableSettingsFile{QStringLiteral("it is not JSON"), kept};
    shell();
    harness.clock.advance(std::chrono::seconds(10));  // polls in virtual time
    harness.settings.setStatusItemColorCoded(false);
    ASSERT_EQ(notifier.posted.size(), 1);
    EXPECT_TRUE(notifier.posted.front().body.contains(kept));
    EXPECT_TRUE(notifier.posted.front().body.contains(QStringLiteral("it is not JSON")));
}

TEST_F(ShellTest, AUsableSettingsFileSendsNoNotification) {
    RecordingNotifier notifier;
    options.notifier = &notifier;
    shell();
    emit harness.monitor->statsUpdated();
    EXPECT_TRUE(notifier.posted.isEmpty());
}

}  // namespace
