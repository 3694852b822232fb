#include "recording/CsvFormat.h"
#include "recording/CsvRecorder.h"
#include "recording/DesktopFolder.h"
#include "support/FileSizeLimit.h"
#include "support/MonitorHarness.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A monitor whose recorder is a real CsvRecorder writing into a private folder.
class CsvRecorderTest : public ::testing::Test {
protected:
    CsvRecorderTest()
        : h_([this](Clock& clock) {
              auto recorder = std::make_unique<CsvRecorder>(clock, QTimeZone::utc());
              recorder_ = recorder.get();
              return recorder;
          }) {}

    // One poll, start to finish, one virtual second after the previous one.
    void poll() {
        h_.clock.advance(1s);
        auto task = h_.monitor->poll();
        ASSERT_TRUE(task.isReady());
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    CsvRecorder* recorder_ = nullptr;  // owned by the monitor; set while h_ is made
    MonitorHarness h_;
};

TEST_F(CsvRecorderTest, RowsFollowEveryPollWithMarkersWhenNoSensorFetchHappened) {
    ASSERT_TRUE(recorder_->startRecordingIn(dir_.path()).ok());
    const QString file = *recorder_->filePath();
    EXPECT_EQ(QFileInfo(file).fileName(),
              CsvRecorder::recordingFileName(h_.clock.wallNow(), QTimeZone::utc()));
    EXPECT_TRUE(recorder_->isRecording());

    h_.monitor->setHelperAvailable(true);
    h_.fakes.sensors->next.cpuTempCelsius = 70;
    h_.fakes.sensors->next.fans = {{0, 1000}, {1, 1100}};
    h_.fakes.cpu->next.overall = 0.25;
    poll();
    h_.monitor->setHelperAvailable(false);  // the monitor still shows the older reading
    poll();
    ASSERT_EQ(h_.monitor->sensors().cpuTempCelsius, 70);

    const QStringList lines = QString::fromUtf8(contentOf(file)).split(u'\n');
    ASSERT_EQ(lines.size(), 4);  // header, two rows, and the empty text after the last feed
    EXPECT_EQ(lines[0], csvHeader());
    EXPECT_TRUE(lines[1].endsWith(",70.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,1000.0,1100.0"));
    EXPECT_TRUE(lines[2].endsWith(",-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,0.0,0.0"));
    EXPECT_EQ(lines[3], "");

    EXPECT_EQ(recorder_->recordedRows(), 2);
    EXPECT_DOUBLE_EQ(recorder_->recordingDuration(), 2.0);
    ASSERT_EQ(recorder_->samples().size(), 2);
    EXPECT_EQ(recorder_->samples()[1].cpuTemp, std::nullopt);  // not measured in that poll
    EXPECT_EQ(recorder_->samples()[1].fanRpm, std::nullopt);
    EXPECT_EQ(recorder_->samples()[1].cpuPercent, 25);
}

TEST_F(CsvRecorderTest, StoppingPublishesAReportOnlyForTwoRowsOrMore) {
    for (const int rows : {0, 1, 2, 3}) {
        SCOPED_TRACE(rows);
        int reports = 0;
        const auto connection = QObject::connect(recorder_, &CsvRecorder::lastReportChanged, [&] {
            reports += recorder_->lastReport() ? 1 : 0;
        });
        ASSERT_TRUE(recorder_->startRecordingAt(path(QString::number(rows))).ok());
        for (int i = 0; i < rows; ++i) {
            poll();
        }
        recorder_->stopRecording();
        recorder_->stopRecording();  // stopping twice publishes nothing more
        EXPECT_FALSE(recorder_->isRecording());
        EXPECT_EQ(reports, rows >= 2 ? 1 : 0);
        EXPECT_EQ(recorder_->lastReport().has_value(), rows >= 2);
        if (rows >= 2) {
            EXPECT_EQ(recorder_->lastReport()->sampleCount, rows);
        }
        // The figures stay until the next start.
        EXPECT_EQ(recorder_->recordedRows(), rows);
        EXPECT_EQ(recorder_->samples().size(), rows);
        EXPECT_EQ(recorder_->filePath(), path(QString::number(rows)));
        poll();  // no recording: no row
        EXPECT_EQ(contentOf(path(QString::number(rows))).count('\n'), rows + 1);
        QObject::disconnect(connection);
    }
}

TEST_F(CsvRecorderTest, AStartThatCannotWriteReportsWhyAndLeavesTheRecorderIdle) {
    QFile plainFile(path(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    const struct {
        const char* name;
        std::function<FileResult(CsvRecorder&)> start;
    } cases[] = {
        {"missing folder",
         [&](CsvRecorder& r) { return r.startRecordingIn(path(QStringLiteral("nowhere"))); }},
        {"a file for a folder",
         [&](CsvRecorder& r) { return r.startRecordingIn(path(QStringLiteral("not-a-folder"))); }},
        {"a disk without room for the header",
         [](CsvRecorder& r) { return r.startRecordingAt(QStringLiteral("/dev/full")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileResult result = c.start(*recorder_);
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.error.contains(u'\n'));
        EXPECT_EQ(recorder_->lastError(), result.error);
        EXPECT_FALSE(recorder_->isRecording());
        poll();
        EXPECT_EQ(recorder_->recordedRows(), 0);
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/full")).exists());  // never removed
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("not-a-folder")});
}

TEST_F(CsvRecorderTest, AStartDuringARecordingClosesTheOldFileAndReplacesANewOne) {
    QFile old(path(QStringLiteral("second.csv")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(5000, 'x')) == 5000);
    old.close();
    ASSERT_TRUE(recorder_->startRecordingAt(path(QStringLiteral("first.csv"))).ok());
    poll();
    poll();
    ASSERT_TRUE(recorder_->startRecordingAt(path(QStringLiteral("second.csv"))).ok());
    poll();
    EXPECT_EQ(contentOf(path(QStringLiteral("first.csv"))).count('\n'), 3);
    EXPECT_TRUE(contentOf(path(QStringLiteral("second.csv"))).startsWith(csvHeader().toUtf8()));
    EXPECT_EQ(contentOf(path(QStringLiteral("second.csv"))).count('\n'), 2);
    EXPECT_EQ(recorder_->recordedRows(), 1);
    EXPECT_FALSE(recorder_->lastReport());
}

TEST_F(CsvRecorderTest, AFullDiskStopsTheRowsAndKeepsTheWrittenOnesWhole) {
    ASSERT_TRUE(recorder_->startRecordingAt(path(QStringLiteral("r.csv"))).ok());
    poll();
    poll();
    const QByteArray before = contentOf(path(QStringLiteral("r.csv")));
    const qsizetype rowLength = before.size() - before.lastIndexOf('\n', -2) - 1;
    {
        const FileSizeLimit limit(static_cast<rlim_t>(before.size() + rowLength / 2));
        poll();  // half of this row fits
        poll();
    }
    EXPECT_EQ(contentOf(path(QStringLiteral("r.csv"))), before);
    EXPECT_FALSE(recorder_->isRecording());
    EXPECT_FALSE(recorder_->lastError().isEmpty());
    EXPECT_EQ(recorder_->recordedRows(), 2);
    ASSERT_TRUE(recorder_->lastReport());  // the rows that made it still make a report
    EXPECT_EQ(recorder_->lastReport()->sampleCount, 2);
    poll();
    EXPECT_EQ(contentOf(path(QStringLiteral("r.csv"))), before);
}

TEST_F(CsvRecorderTest, ANewFileWithoutRoomForItsHeaderIsRemoved) {
    FileResult result;
    {
        const FileSizeLimit limit(10);
        result = recorder_->startRecordingAt(path(QStringLiteral("r.csv")));
    }
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("r.csv"))));
}

TEST(RecordingFileName, UsesTheLocalStartTime) {
    const Clock::WallTime start = Clock::WallTime{} + 1769868309s;  // 14:05:09 UTC
    const struct {
        const char* zone;
        const char* name;
    } cases[] = {
        {"UTC", "vantrel-recording-2026-01-31_14-05-09.csv"},
        {"Pacific/Kiritimati", "vantrel-recording-2026-02-01_04-05-09.csv"},
    };
    for (const auto& c : cases) {
        const QTimeZone zone(c.zone);
        ASSERT_TRUE(zone.isValid()) << c.zone;
        EXPECT_EQ(CsvRecorder::recordingFileName(start, zone), c.name);
    }
}

TEST(DesktopFolder, ReadsTheUserDirsFileTheWayTheShellWould) {
    const QString home = QStringLiteral("/home/ada");
    const struct {
        const char* text;
        std::optional<QString> folder;
    } cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/home/ada/Desktop"},
        {"# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"",
         "/home/ada/Schreibtisch"},
        {"XDG_DESKTOP_DIR=\"$HOME/My\\\"Desk\"", "/home/ada/My\"Desk"},
        {"XDG_DESKTOP_DIR=\"$HOME/\"", "/home/ada"},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"", "/home/ada/b"},
        {"XDG_DESKTOP_DIR=\"relative/desk\"", std::nullopt},
        {"XDG_DESKTOP_DIR=$HOME/Desktop", std::nullopt},
        {"XDG_DESKTOP_DIR=\"$HOMEBASE\"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktopFromUserDirs(c.text, home), c.folder) << c.text;
    }
}

TEST(DesktopFolder, FallsBackToDesktopInTheHomeFolder) {
    QTemporaryDir config;
    EXPECT_EQ(desktopFolder(QStringLiteral("/home/ada"), config.path()),
              QStringLiteral("/home/ada/Desktop"));
    QFile userDirs(config.filePath(QStringLiteral("user-dirs.dirs")));
    ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    userDirs.close();
    EXPECT_EQ(desktopFolder(QStringLiteral("/home/ada"), config.path()),
              QStringLiteral("/home/ada/Bureau"));
}

}  // namespace
