#include "exporter/TextfileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Sets the process's umask for one test and gives the old one back.
class UmaskFor {
public:
    explicit UmaskFor(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskFor() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(TextfileWriter, TheFileIsReadableByEveryoneWhateverTheUmask) {
    const UmaskFor privateFiles(077);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("vantrel.prom"));
    TextfileWriter writer(path);
    for (const QByteArray& text : {QByteArray("a 1\n"), QByteArray("a 2\n")}) {
        EXPECT_TRUE(writer.write(text).isEmpty());
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0644u);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), text);
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("vantrel.prom")});
}

TEST(TextfileWriter, AFailureIsToldOnceAndSoIsTheRecovery) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("vantrel.prom"));
    TextfileWriter writer(path);
    EXPECT_TRUE(writer.startProblem().isEmpty());
    // A folder where the file should be: no write can replace it.
    ASSERT_TRUE(QDir().mkdir(path));
    const struct {
        bool blocked;
        const char* line;  // the start of the line to print, empty for none
    } polls[] = {{true, "cannot write "},
                 {true, ""},
                 {false, "writing "},
                 {false, ""},
                 {true, "cannot write "}};
    for (const auto& poll : polls) {
        if (!poll.blocked) {
            QDir(path).removeRecursively();
        } else if (!QFileInfo(path).isDir()) {
            QFile::remove(path);
            ASSERT_TRUE(QDir().mkdir(path));
        }
        const QString line = writer.write("a 1\n");
        EXPECT_EQ(line.isEmpty(), *poll.line == 0) << line.toStdString();
        EXPECT_TRUE(line.startsWith(QString::fromLatin1(poll.line)) || line.isEmpty());
    }
    EXPECT_FALSE(
        TextfileWriter(folder.filePath(QStringLiteral("missing/v.prom"))).startProblem().isEmpty());
}

}  // namespace
