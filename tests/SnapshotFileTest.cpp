#include "recording/SnapshotFile.h"
#include "support/FileSizeLimit.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SnapshotFileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("vantrel-export.csv")); }
    QStringList folderEntries() const {
        return QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }
    QTemporaryDir dir_;
};

TEST_F(SnapshotFileTest, WritesTheTextAsUtf8AndReplacesAnOlderFile) {
    ASSERT_TRUE(writeSnapshotFile(path(), QStringLiteral("old")).ok());
    const QString text = QStringLiteral("timestamp,cpu_temp_c\n2026-01-31T14:05:09Z,41.5 °C");
    ASSERT_TRUE(writeSnapshotFile(path(), text).ok());
    EXPECT_EQ(contentOf(path()), text.toUtf8());
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("vantrel-export.csv")});
}

TEST_F(SnapshotFileTest, AWriteThatFailsLeavesTheOldFileAndNoPartOfTheNewOne) {
    ASSERT_TRUE(writeSnapshotFile(path(), QStringLiteral("the earlier snapshot")).ok());
    const QString large(64 * 1024, u'x');
    FileResult result;
    {
        const FileSizeLimit fullDisk(4096);
        result = writeSnapshotFile(path(), large);
    }
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(contentOf(path()), "the earlier snapshot");
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("vantrel-export.csv")});
}

TEST_F(SnapshotFileTest, AFolderThatCannotTakeTheFileGivesAnError) {
    for (const QString& target : {dir_.filePath(QStringLiteral("missing/s.csv")),
                                  QStringLiteral("/proc/vantrel-export.csv")}) {
        const FileResult result = writeSnapshotFile(target, QStringLiteral("text"));
        EXPECT_FALSE(result.ok()) << target.toStdString();
        EXPECT_FALSE(QFile::exists(target));
    }
}

}  // namespace
