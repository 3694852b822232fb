#include "views/settings/DataExportControls.h"
#include "views/kit/TextColor.h"

#include "core/SampleRecorder.h"
#include "core/TextFormat.h"
#include "views/kit/ViewPalette.h"
#include "views/settings/SettingsForm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Shows `text` in `label`, or hides the label when there is nothing to say.
void showLine(QLabel& label, const QString& text, const QColor& color) {
    setLabelText(label, text);
    setTextColor(label, color);
    label.setVisible(!text.isEmpty());
}

}  // namespace

DataExportControls::DataExportControls(SampleRecorder& recorder, DataExportActions actions,
                                       QWidget* parent)
    : QWidget(parent),
      recorder_(recorder),
      actions_(std::move(actions)),
      snapshot_(new QPushButton(QStringLiteral("Export CSV Snapshot"))),
      recording_(new QPushButton),
      status_(captionLabel({})),
      snapshotMessage_(captionLabel({})) {
    snapshot_->setAccessibleName(snapshot_->text());
    snapshot_->setObjectName(QStringLiteral("exportSnapshot"));
    recording_->setObjectName(QStringLiteral("recording"));
    status_->setObjectName(QStringLiteral("recordingStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    snapshotMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(snapshot_, 0, Qt::AlignLeft);
    column->addWidget(snapshotMessage_);
    column->addWidget(recording_, 0, Qt::AlignLeft);
    column->addWidget(status_);

    connect(snapshot_, &QPushButton::clicked, this, &DataExportControls::exportSnapshot);
    connect(recording_, &QPushButton::clicked, this, &DataExportControls::toggleRecording);
    for (auto signal :
         {&SampleRecorder::isRecordingChanged, &SampleRecorder::recordingDurationChanged,
          &SampleRecorder::recordedRowsChanged, &SampleRecorder::lastErrorChanged}) {
        connect(&recorder_, signal, this, &DataExportControls::refresh);
    }
    showLine(*snapshotMessage_, {}, ViewPalette::secondaryText());
    refresh();
}

QString DataExportControls::statusText() const {
    return status_->text();
}

QString DataExportControls::snapshotMessage() const {
    return snapshotMessage_->text();
}

void DataExportControls::exportSnapshot() {
    // The snapshot holds the readings of the moment of the click, not of the dialog's close.
    const QString text = actions_.snapshotText ? actions_.snapshotText() : QString();
    const QString path = dialogs_.save(window(), QStringLiteral("Export CSV Snapshot"),
                                       QStringLiteral("vantrel-export.csv"),
                                       QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    const QString error = actions_.writeSnapshot ? actions_.writeSnapshot(path, text)
                                                 : QStringLiteral("snapshots cannot be written");
    if (error.isEmpty()) {
        showLine(*snapshotMessage_, QStringLiteral("Snapshot saved to %1").arg(path),
                 ViewPalette::secondaryText());
        if (actions_.showFile) {
            actions_.showFile(path);
        }
    } else {
        showLine(*snapshotMessage_, QStringLiteral("The snapshot was not saved: %1").arg(error),
                 ViewPalette::red());
    }
}

void DataExportControls::toggleRecording() {
    const auto& action = recorder_.isRecording() ? actions_.stopRecording : actions_.startRecording;
    if (action) {
        action();
    }
    refresh();
}

void DataExportControls::refresh() {
    const bool running = recorder_.isRecording();
    const QString label =
        running ? QStringLiteral("Stop Recording") : QStringLiteral("Start Recording");
    recording_->setText(label);
    recording_->setAccessibleName(label);
    if (running) {
        showLine(*status_,
                 recordingStatusText(recorder_.recordingDuration(), recorder_.recordedRows()),
                 ViewPalette::secondaryText());
    } else if (!recorder_.lastError().isEmpty()) {
        showLine(*status_, QStringLiteral("Recording failed: %1").arg(recorder_.lastError()),
                 ViewPalette::red());
    } else {
        showLine(*status_, {}, ViewPalette::secondaryText());
    }
}
