#include "app/shell/DesktopWindowMakers.h"

#include "app/shell/SettingsWindowMaker.h"
#include "app/shell/Shell.h"
#include "app/shell/ShownSourceHolders.h"
#include "core/SampleRecorder.h"
#include "core/SystemMonitor.h"
#include "status_item/X11WindowState.h"
#include "views/dashboard/DashboardWindow.h"
#include "views/desktop/RevealFile.h"
#include "views/help/HelpView.h"
#include "views/report/SessionReportWindow.h"

#include <QCursor>

#include <functional>
#include <optional>
#include <utility>

void addDesktopWindowMakers(ShellOptions& options, SystemMonitor& monitor, AppSettings& settings,
                            SettingsFile& defaults, KeyboardShortcuts* shortcuts, Clock& clock) {
    options.makeDashboard = [&monitor, &settings, &clock, supportUrl = options.supportUrl] {
        auto* dashboard = new DashboardWindow(monitor, settings, clock, supportUrl);
        holdDashboardSources(*dashboard, monitor.demand());
        keepOutOfTaskbarAndPager(dashboard);
        dashboard->placeOnScreenAt(QCursor::pos());
        return dashboard;
    };
    options.makeSettingsWindow = settingsWindowMaker(settings, monitor, defaults, shortcuts, clock);
    options.makeHelpWindow = makeHelpWindow;
    options.makeReportWindow = [&monitor]() -> QWidget* {
        const SampleRecorder& recorder = monitor.recorder();
        if (!recorder.lastReport()) {
            return nullptr;
        }
        // The file of this report's recording, even when a later recording has started.
        std::function<void()> showCsv;
        if (const std::optional<QString> file = recorder.recordingFilePath()) {
            showCsv = [path = *file] { revealInFileManager(path); };
        }
        return makeSessionReportWindow(*recorder.lastReport(), std::move(showCsv));
    };
}
