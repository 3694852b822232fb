#include "recording/CsvFormat.h"
#include "support/QStringPrinter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <random>

extern char** environ;

namespace {

constexpr int kRuns = 100;
// Enough for a slow start under sanitizers; reaching it means the file never grew.
constexpr long kMaxSizeChecks = 50'000'000;

// Why `text` is not a well-formed recording, or empty when it is.
QString recordingFault(const QByteArray& text) {
    static const QRegularExpression timestamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"));
    static const QRegularExpression integer(QStringLiteral("^-?\\d+$"));
    static const QRegularExpression oneDecimal(QStringLiteral("^-?\\d+\\.\\d$"));
    QByteArray whole = text;
    if (!whole.endsWith('\n')) {
        // The kernel copies a write into the page cache a page at a time and stops between
        // pages when the writer is being killed, so SIGKILL inside the write of a row that
        // crosses a 4 KiB page can cut that row exactly at the page boundary. A cut anywhere
        // else means a row was not written whole.
        if (whole.size() % 4096 != 0) {
            return QStringLiteral("the file does not end with a whole line");
        }
        whole.truncate(whole.lastIndexOf('\n') + 1);
    }
    const QStringList lines = QString::fromUtf8(whole.chopped(1)).split(u'\n');
    if (lines.first() != csvHeader()) {
        return QStringLiteral("bad header: ") + lines.first();
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split(u',');
        bool ok = columns.size() == 18 && timestamp.match(columns[0]).hasMatch();
        for (qsizetype c = 1; ok && c < columns.size(); ++c) {
            ok = (c == 5 || c == 8 ? integer : oneDecimal).match(columns[c]).hasMatch();
        }
        if (!ok) {
            return QStringLiteral("line %1 does not parse: %2").arg(i + 1).arg(lines[i]);
        }
    }
    return {};
}

qint64 sizeOf(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 ? info.st_size : 0;
}

TEST(RecordingCrash, KilledAtRandomMomentsLeavesOnlyWholeRows) {
    QTemporaryDir dir;
    std::random_device seeder;
    const unsigned seed = seeder();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<qint64> targetSize(300, 48 * 1024);
    std::uniform_int_distribution<int> extraChecks(0, 3000);

    int rowsSeen = 0;
    for (int run = 0; run < kRuns; ++run) {
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("r%1.csv").arg(run)));
        char program[] = VANTREL_RECORDING_CHILD;
        char* argv[] = {program, const_cast<char*>(path.constData()), nullptr};
        pid_t child = 0;
        ASSERT_EQ(::posix_spawn(&child, program, nullptr, nullptr, argv, environ), 0);

        // Wait until the file has grown past a random size, then a random while longer.
        const qint64 target = targetSize(random);
        const long extra = extraChecks(random);
        long checks = 0;
        long grownAt = -1;
        int status = 0;
        bool exitedEarly = false;
        for (; checks < kMaxSizeChecks; ++checks) {
            if (grownAt < 0 && sizeOf(path) >= target) {
                grownAt = checks;
            }
            if (grownAt >= 0 && checks - grownAt >= extra) {
                break;
            }
            if (checks % 1024 == 0 && ::waitpid(child, &status, WNOHANG) == child) {
                exitedEarly = true;
                break;
            }
        }
        if (!exitedEarly) {
            ::kill(child, SIGKILL);
            ASSERT_EQ(::waitpid(child, &status, 0), child);
        }
        ASSERT_FALSE(exitedEarly) << "the recording program ended by itself, status " << status;
        ASSERT_LT(checks, kMaxSizeChecks) << "the recording never reached " << target << " bytes";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        QFile file(QFile::decodeName(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_EQ(recordingFault(text), QString()) << "run " << run;
        rowsSeen += static_cast<int>(text.count('\n')) - 1;
    }
    EXPECT_GT(rowsSeen, kRuns);  // the runs did record
}

TEST(RecordingCrash, TheCheckerCatchesCutAndMalformedRows) {
    const QByteArray header = (csvHeader() + u'\n').toUtf8();
    const QByteArray row =
        "2026-01-31T14:05:09Z,1.0,2.0,3.0,4.0,57,0.0,0.0,2,-1.0,-1.0,-1.0,-1.0,-1.0,-1.0,"
        "-1.0,0.0,0.0\n";
    EXPECT_EQ(recordingFault(header + row + row), QString());
    EXPECT_NE(recordingFault(header + row.left(40) + "\n"), QString());
    QByteArray manyRows = header;
    while (manyRows.size() <= 4096) {
        manyRows += row;
    }
    EXPECT_EQ(recordingFault(manyRows.left(4096)), QString()) << "cut by the kernel at a page";
    EXPECT_NE(recordingFault(manyRows.left(4097)), QString());
    QByteArray decimalInteger = header + row;
    decimalInteger.replace(",57,", ",57.0,");
    EXPECT_NE(recordingFault(decimalInteger), QString());
}

}  // namespace
