#include "app/shell/SettingsWindowMaker.h"

#include "app/shell/ShownSourceHolders.h"

#include "core/SystemMonitor.h"
#include "recording/CsvFormat.h"
#include "recording/CsvRecorder.h"
#include "recording/SnapshotFile.h"
#include "views/desktop/RevealFile.h"
#include "views/settings/SettingsWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

DataExportActions dataExportActions(SystemMonitor& monitor, Clock& clock) {
    DataExportActions actions;
    if (auto* recorder = qobject_cast<CsvRecorder*>(&monitor.recorder())) {
        // A failed start leaves the recorder idle with its reason in lastError, which the
        // window shows.
        actions.startRecording = [recorder] { recorder->startRecording(); };
        actions.stopRecording = [recorder] { recorder->stopRecording(); };
    }
    actions.snapshotText = [&monitor, &clock] {
        return buildSnapshotCsv(monitor, clock.wallNow());
    };
    actions.writeSnapshot = [](const QString& path, const QString& text) {
        return writeSnapshotFile(path, text).error;
    };
    return actions;
}

std::function<QWidget*()> settingsWindowMaker(AppSettings& settings, SystemMonitor& monitor,
                                              SettingsFile& defaults, KeyboardShortcuts* shortcuts,
                                              Clock& clock) {
    return [&settings, &monitor, &defaults, shortcuts, &clock]() -> QWidget* {
        DataExportActions actions = dataExportActions(monitor, clock);
        // Only a snapshot that was written is shown; a failed one has the window's message.
        actions.showFile = [](const QString& path) { revealInFileManager(path); };
        auto* window = new SettingsWindow(settings, monitor, defaults, shortcuts, actions);
        holdSnapshotSources(*window, monitor.demand());
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (screen == nullptr) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen != nullptr) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window->move(frame.topLeft());
        }
        return window;
    };
}
