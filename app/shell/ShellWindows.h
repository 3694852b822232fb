#pragma once

#include "app/shell/WindowSlots.h"
#include "core/Clock.h"
#include "status_item/RetiredWidget.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class AppSettings;
class OutsidePressCatcher;
class SampleRecorder;
class ShellFaces;
class SystemMonitor;
class X11Watcher;

// The makers of the windows besides the compact panel. A window without a maker is not
// built: opening it logs that once.
struct ShellWindowMakers {
    std::function<QWidget*()> dashboard;
    std::function<QWidget*()> settingsWindow;
    std::function<QWidget*()> helpWindow;
    std::function<QWidget*()> reportWindow;
};

// The program's panels and windows: the compact panel and the dashboard, which float by the
// status item and close on a press elsewhere, and the ordinary Settings, Help and Session
// Report windows. Each is made when opened and destroyed when closed.
class ShellWindows final : public QObject {
    Q_OBJECT
public:
    ShellWindows(const AppSettings& settings, SystemMonitor& monitor, Clock& clock, X11Watcher* x11,
                 const ShellFaces& faces, ShellWindowMakers makers, QString supportUrl,
                 QObject* parent = nullptr);
    ~ShellWindows() override;

    void toggleCompactPanel();
    void showCompactPanel();
    void closeCompactPanel();
    void toggleDashboard();
    void showDashboard();
    void closeDashboard();
    void openSettingsWindow();
    void openHelpWindow();
    // The window of the recorder's last report; it replaces the window of an earlier report.
    void openReportWindow();
    // A finished recording with samples opens its report.
    void followRecorder(const SampleRecorder& recorder);

    // A press of `button` (the X server's number) anywhere on the desktop; `ownAreas` are the
    // program's areas besides its shown windows (a tray icon's place).
    void handleOutsideClick(QPoint globalPos, int button, QVector<QRect> ownAreas);

    const WindowSlots& openWindows() const { return windows_; }

signals:
    void quitRequested();
    // The compact panel opened (true) or closed (false).
    void compactPanelShownChanged(bool shown);

private:
    void compactPanelClosedWithoutClick();
    void showUnderWaylandCompositor(QWidget& panel);
    void connectDashboard(QWidget* dashboard);
    void openOrdinaryWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& make,
                            const QString& what);
    void notBuiltYet(const QString& what);

    const AppSettings& settings_;
    SystemMonitor& monitor_;
    Clock& clock_;
    QPointer<X11Watcher> x11_;
    const ShellFaces& faces_;
    ShellWindowMakers makers_;
    QString supportUrl_;

    WindowSlots windows_;
    RetiredWidget closedCompactPanel_;
    RetiredWidget closedDashboard_;
    std::unique_ptr<OutsidePressCatcher> outsidePresses_;
    std::optional<Clock::SteadyTime> compactPanelClosedWithoutClickAt_;
    QSet<QString> loggedNotBuilt_;
};
