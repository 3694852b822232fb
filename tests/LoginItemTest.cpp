#include "core/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(LoginItemTest, EnablingWritesAValidAutostartEntryAndDisablingRemovesIt) {
    QTemporaryDir dir;
    const auto autostart = dir.filePath(QStringLiteral("config/autostart"));
    LoginItem item(QStringLiteral("/usr/bin/vantrel"), autostart);
    ASSERT_EQ(item.desktopFilePath(), autostart + QStringLiteral("/vantrel.desktop"));

    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_EQ(readAll(item.desktopFilePath()),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Vantrel\n"
              "Exec=/usr/bin/vantrel\n"
              "X-GNOME-Autostart-enabled=true\n");

    EXPECT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(QFile::exists(item.desktopFilePath()));
    // Already off is not a failure.
    EXPECT_TRUE(item.setEnabled(false));
}

TEST(LoginItemTest, ReportsWhatItCouldNotDo) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(
        LoginItem(QStringLiteral("/usr/bin/vantrel"), blocker.fileName()).setEnabled(true));
    EXPECT_FALSE(LoginItem(QString(), dir.filePath(QStringLiteral("x"))).setEnabled(true));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x/vantrel.desktop"))));
}

TEST(LoginItemTest, QuotesAndEscapesTheProgramPath) {
    const struct {
        const char* path;
        const char* exec;  // as written after "Exec="
    } cases[] = {
        {"/usr/bin/vantrel", "/usr/bin/vantrel"},
        {"/opt/My Apps/vantrel", "\"/opt/My Apps/vantrel\""},
        {"/opt/a$b/vantrel", "\"/opt/a\\\\$b/vantrel\""},
        {"/opt/say \"hi\"/v", "\"/opt/say \\\\\"hi\\\\\"/v\""},
        {"/opt/back\\slash/v", "\"/opt/back\\\\\\\\slash/v\""},
        {"/opt/100%/v", "/opt/100%%/v"},
        {"/opt/tick`/v", "\"/opt/tick\\\\`/v\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktopExecArgument(QString::fromUtf8(c.path)), QString::fromUtf8(c.exec))
            << c.path;
    }
}

}  // namespace
