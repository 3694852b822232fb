#include "recording/CsvRecorder.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "recording/CsvFormat.h"
#include "recording/DesktopFolder.h"

#include <QDateTime>
#include <QFileInfo>

#include <chrono>

namespace {

constexpr int kRowsForAReport = 2;

QByteArray line(const QString& text) {
    return (text + u'\n').toUtf8();
}

}  // namespace

CsvRecorder::CsvRecorder(Clock& clock, QTimeZone zone, QObject* parent)
    : SampleRecorder(parent), clock_(clock), zone_(std::move(zone)) {}

FileResult CsvRecorder::startRecording() {
    return startRecordingIn(userDesktopFolder());
}

FileResult CsvRecorder::startRecordingIn(const QString& folder) {
    const QFileInfo info(folder);
    FileResult result;
    if (!info.exists()) {
        result.error = QStringLiteral("the folder %1 does not exist").arg(folder);
    } else if (!info.isDir()) {
        result.error = QStringLiteral("%1 is not a folder").arg(folder);
    } else {
        const Clock::WallTime now = clock_.wallNow();
        return startAt(folder + u'/' + recordingFileName(now, zone_), now);
    }
    setLastError(result.error);
    return result;
}

FileResult CsvRecorder::startRecordingAt(const QString& path) {
    return startAt(path, clock_.wallNow());
}

FileResult CsvRecorder::startAt(const QString& path, Clock::WallTime now) {
    AppendOnlyFile file;
    FileResult created = file.create(path, line(csvHeader()));
    if (!created.ok()) {
        setLastError(created.error);
        return created;
    }
    // A recording still running ends here: its rows stay in its file, with no report.
    file_.close();
    file_ = std::move(file);
    filePath_ = path;
    startTime_ = now;
    samples_.clear();
    setLastError({});
    setRecordedRows(0);
    setRecordingDuration(0);
    setLastReport(std::nullopt);
    setRecording(true);
    return {};
}

void CsvRecorder::stopRecording() {
    if (isRecording()) {
        finish({});
    }
}

void CsvRecorder::recordSample(const SystemMonitor& monitor) {
    if (!isRecording() || !file_.isOpen()) {
        return;
    }
    const Clock::WallTime now = clock_.wallNow();
    CurrentReadings readings = currentReadingsOf(monitor);
    if (!monitor.helperAvailable()) {
        readings.sensors = SensorStats{};  // no fetch in this poll: nothing was measured
    }
    const FileResult written = file_.append(line(recordedRow(readings, now)));
    if (!written.ok()) {
        finish(written.error);
        return;
    }
    samples_.append(recordedSampleOf(readings, now));
    setRecordingDuration(startTime_ ? std::chrono::duration<double>(now - *startTime_).count()
                                    : 0.0);
    setRecordedRows(recordedRows() + 1);
}

QString CsvRecorder::recordingDurationText() const {
    return durationText(recordingDuration());
}

QString CsvRecorder::recordingFileName(Clock::WallTime start, const QTimeZone& zone) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(start.time_since_epoch());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms.count(), zone);
    return QStringLiteral("vantrel-recording-%1.csv")
        .arg(local.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
}

void CsvRecorder::finish(const QString& error) {
    const FileResult closed = file_.close();
    setLastError(error.isEmpty() ? closed.error : error);
    setRecording(false);
    if (samples_.size() >= kRowsForAReport) {
        setLastReport(buildSessionReport(samples_, clock_.wallNow()));
    }
}
