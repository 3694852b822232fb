#include "core/SampleRecorder.h"

#include <utility>

namespace {

// Stores `value` and tells whether it differed from what was held.
template <typename T>
bool store(T& field, T value) {
    if (field == value) {
        return false;
    }
    field = std::move(value);
    return true;
}

}  // namespace

void SampleRecorder::setRecording(bool recording) {
    if (store(isRecording_, recording)) {
        emit isRecordingChanged();
    }
}

void SampleRecorder::setRecordingDuration(double seconds) {
    if (store(recordingDuration_, seconds)) {
        emit recordingDurationChanged();
    }
}

void SampleRecorder::setRecordedRows(qint64 rows) {
    if (store(recordedRows_, rows)) {
        emit recordedRowsChanged();
    }
}

void SampleRecorder::setLastError(const QString& error) {
    if (store(lastError_, error)) {
        emit lastErrorChanged();
    }
}

void SampleRecorder::setLastReport(std::optional<SessionReport> report) {
    if (store(lastReport_, std::move(report))) {
        emit lastReportChanged();
    }
}
