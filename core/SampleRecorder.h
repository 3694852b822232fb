#pragma once

#include "core/SessionReport.h"

#include <QObject>
#include <QString>

#include <optional>

class SystemMonitor;

// A recorder the poll loop feeds, with the state views show. Each *Changed signal is emitted
// right after its value changed; storing the value already held emits nothing.
class SampleRecorder : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // One row for the poll the monitor has just published.
    virtual void recordSample(const SystemMonitor& monitor) = 0;

    bool isRecording() const { return isRecording_; }
    // Seconds from the start of the current (or last) recording to its latest row.
    double recordingDuration() const { return recordingDuration_; }
    // Rows written in the current (or last) recording.
    qint64 recordedRows() const { return recordedRows_; }
    // Why the latest start or the latest recording failed; empty when nothing failed.
    const QString& lastError() const { return lastError_; }
    // The report of the last finished recording; absent while one runs or none finished.
    const std::optional<SessionReport>& lastReport() const { return lastReport_; }
    // The file of the current (or last) recording, for showing it in the file manager;
    // absent before the first start.
    virtual std::optional<QString> recordingFilePath() const { return std::nullopt; }

signals:
    // A recording started or ended (ended by the user, or by a row that could not be written).
    void isRecordingChanged();
    // The recording grew by a row, or a new recording started from 0.
    void recordingDurationChanged();
    // A row was written, or a new recording started from 0.
    void recordedRowsChanged();
    // A start or a recording failed, or a successful start cleared the previous error.
    void lastErrorChanged();
    // A finished recording's report arrived, or a new recording cleared the previous one.
    void lastReportChanged();

protected:
    void setRecording(bool recording);
    void setRecordingDuration(double seconds);
    void setRecordedRows(qint64 rows);
    void setLastError(const QString& error);
    void setLastReport(std::optional<SessionReport> report);

private:
    bool isRecording_ = false;
    double recordingDuration_ = 0;
    qint64 recordedRows_ = 0;
    QString lastError_;
    std::optional<SessionReport> lastReport_;
};
