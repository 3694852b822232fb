#pragma once

#include "core/Clock.h"
#include "core/ProviderInterfaces.h"
#include "recording/AppendOnlyFile.h"
#include "recording/FileResult.h"
#include "recording/RecordedSample.h"
#include "recording/SessionReportBuilder.h"

#include <QString>
#include <QTimeZone>
#include <QVector>

#include <optional>

// Continuous recording: one CSV row per poll, appended to a file that only ever holds whole
// rows, and a compact sample of each row kept for the session report of the finished
// recording. Observers watch the published state through SampleRecorder's signals.
class CsvRecorder final : public SampleRecorder {
    Q_OBJECT
public:
    // `zone` names the recording files in local time; the rows are always in UTC.
    explicit CsvRecorder(Clock& clock, QTimeZone zone = QTimeZone::systemTimeZone(),
                         QObject* parent = nullptr);

    // Starts a recording in the user's Desktop folder.
    FileResult startRecording();
    // Starts a recording named "vantrel-recording-<local start time>.csv" in `folder`, which
    // must exist and be writable.
    FileResult startRecordingIn(const QString& folder);
    // Starts a recording at `path`, replacing a file already there.
    //
    // Any start writes the header before it reports success; a failed start changes nothing,
    // and a start during a recording ends the running one without a report.
    FileResult startRecordingAt(const QString& path);

    // Closes the file; with two or more rows, publishes the report of the recording. Does
    // nothing when no recording runs.
    void stopRecording();

    // One row for the poll the monitor has just published. Without the helper no sensor fetch
    // happened, so the sensor columns show their absent markers. A row that cannot be written
    // ends the recording, keeps the rows before it intact and publishes the error.
    void recordSample(const SystemMonitor& monitor) override;

    // The recording's length as "45s", "12m 5s" or "2h 3m".
    QString recordingDurationText() const;

    const std::optional<QString>& filePath() const { return filePath_; }
    std::optional<QString> recordingFilePath() const override { return filePath_; }
    const std::optional<Clock::WallTime>& startTime() const { return startTime_; }
    const QVector<RecordedSample>& samples() const { return samples_; }

    // "vantrel-recording-2026-01-31_14-05-09.csv" for a start at that local time.
    static QString recordingFileName(Clock::WallTime start, const QTimeZone& zone);

private:
    FileResult startAt(const QString& path, Clock::WallTime now);
    // Closes the file and publishes the report; `error` ends the recording as failed.
    void finish(const QString& error);

    Clock& clock_;
    QTimeZone zone_;

    AppendOnlyFile file_;
    std::optional<QString> filePath_;  // kept after the recording stops
    std::optional<Clock::WallTime> startTime_;
    QVector<RecordedSample> samples_;
};
