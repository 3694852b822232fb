#pragma once

#include "views/settings/FileDialogs.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class SampleRecorder;

// What the "Data Export" section asks of the parts that write files. The views link neither
// the recorder's file handling nor the snapshot writer, so the program hands them in.
struct DataExportActions {
    // Starts a recording in the Desktop folder; how it went shows in the recorder's state.
    std::function<void()> startRecording;
    std::function<void()> stopRecording;
    // The snapshot's text as the readings stand now.
    std::function<QString()> snapshotText;
    // Writes `text` to `path` whole or not at all; the reason when it could not, else empty.
    std::function<QString(const QString& path, const QString& text)> writeSnapshot;
    // Shows a written snapshot in the file manager; none: the window's message alone.
    std::function<void(const QString& path)> showFile;
};

// The snapshot button, the recording button, the recording's live status and what went wrong
// with either. The status follows the recorder's own published duration and row count; a
// start that could not open its file shows the recorder's reason and no running recording.
class DataExportControls : public QWidget {
    Q_OBJECT
public:
    DataExportControls(SampleRecorder& recorder, DataExportActions actions,
                       QWidget* parent = nullptr);

    void setFileDialogs(FileDialogs dialogs) { dialogs_ = std::move(dialogs); }

    QPushButton* snapshotButton() const { return snapshot_; }
    QPushButton* recordingButton() const { return recording_; }
    // The recording's status line ("Recording — 5s, 3 rows") or why it failed; empty otherwise.
    QString statusText() const;
    // How the latest snapshot went; empty before the first.
    QString snapshotMessage() const;

    void exportSnapshot();
    void toggleRecording();

private:
    void refresh();

    SampleRecorder& recorder_;
    DataExportActions actions_;
    FileDialogs dialogs_ = FileDialogs::standard();
    QPushButton* snapshot_;
    QPushButton* recording_;
    QLabel* status_;
    QLabel* snapshotMessage_;
};
