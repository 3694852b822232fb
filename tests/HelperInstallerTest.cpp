#include "installation/HelperInstallation.h"
#include "sensors/HelperInstaller.h"
#include "shared/HelperConfig.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <future>
#include <thread>

namespace {

void writeFile(const QString& path, std::string_view bytes,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadOther) {
    QDir().mkpath(QFileInfo(path).path());
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    QFile::setPermissions(path, permissions);
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// An installation below a temporary root as the installer leaves it, owned by this test's
// user; a stand-in pkexec that notes its arguments and answers as told.
class HelperInstallerTest : public ::testing::Test {
protected:
    HelperInstallerTest() {
        options.paths.root = dir.filePath(QStringLiteral("root")).toStdString();
        options.installer = dir.filePath(QStringLiteral("bundle/vantrel-helper-installer"));
        options.socketPath = dir.filePath(QStringLiteral("helper.sock"));
        options.pkexec = dir.filePath(QStringLiteral("pkexec"));
        options.user = 1000;
        options.trustedOwner = ::geteuid();
        writeFile(options.installer, "installer");
        writeFile(dir.filePath(QStringLiteral("bundle/OrvikHelper")), "helper");
        layInstallation();
    }

    void layInstallation() {
        const HelperInstallationPaths& paths = options.paths;
        writeFile(QString::fromStdString(paths.helper()), "helper");
        writeFile(QString::fromStdString(paths.config()),
                  helperConfigText(HelperConfig{{0, 1000}}));
        for (const HelperUnit& unit : helperUnits()) {
            writeFile(QString::fromStdString(paths.unitFolder() / unit.name), unit.text);
        }
    }

    // The package's units, with the unit folder's copies removed or left to hide them.
    void layPackageUnits(bool removeCopies) {
        for (const HelperUnit& unit : helperUnits()) {
            writeFile(QString::fromStdString(options.paths.packageUnitFolder() / unit.name),
                      unit.text);
            if (removeCopies) {
                QFile::remove(QString::fromStdString(options.paths.unitFolder() / unit.name));
            }
        }
    }

    void answerPkexec(int status, const char* error = "") {
        writeFile(options.pkexec,
                  "#!/bin/sh\necho \"$@\" >> '" + dir.filePath("calls").toStdString() +
                      "'\necho '" + error + "' >&2\nexit " + std::to_string(status) + "\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir dir;
    HelperInstallerOptions options;
};

TEST_F(HelperInstallerTest, AsksForThePasswordOnlyWhenSomethingDiffers) {
    QLocalServer socket;
    const QString config = QString::fromStdString(options.paths.config());
    const QString helper = QString::fromStdString(options.paths.helper());
    struct Case {
        const char* name;
        std::function<void()> change;
        bool asks;
    } cases[] = {
        {"everything in place", [] {}, false},
        {"the user is not listed", [&] { writeFile(config, helperConfigText(HelperConfig{{0}})); },
         true},
        {"a configuration others may write",
         [&] { QFile::setPermissions(config, QFile::permissions(config) | QFile::WriteOther); },
         true},
        {"an older helper", [&] { writeFile(helper, "helpe0"); }, true},
        {"a unit edited by hand",
         [&] {
             writeFile(QString::fromStdString(options.paths.unitFolder() / helperUnits()[1].name),
                       "[Service]\n");
         },
         true},
        {"no socket", [&] { socket.close(); }, true},
        {"the package's units alone", [&] { layPackageUnits(true); }, false},
        {"the package's units hidden by copies systemd prefers", [&] { layPackageUnits(false); },
         true},
    };
    answerPkexec(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir.filePath(QStringLiteral("calls")));
        QDir(QString::fromStdString(options.paths.packageUnitFolder())).removeRecursively();
        layInstallation();
        ASSERT_TRUE(socket.isListening() || socket.listen(options.socketPath));
        c.change();
        HelperInstaller installer(options);
        EXPECT_EQ(installer.install(), HelperInstallOutcome::installed);
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("calls"))),
                  c.asks ? options.installer + QLatin1Char('\n') : QString());
    }
}

TEST_F(HelperInstallerTest, EveryFailureIsLoggedAndNamesItsOutcome) {
    writeFile(QString::fromStdString(options.paths.config()), "");
    // What the one line logged starts with.
    struct Case {
        int status;
        const char* error;
        const char* logged;
    } cases[] = {
        {0, "", "[HelperInstaller] Helper installed/updated successfully\n"},
        {126, "",
         "[HelperInstaller] pkexec failed: the administrator password dialog was dismissed\n"},
        {127, "Error executing command as another user: Not authorized",
         "[HelperInstaller] pkexec failed: not authorized (Error executing command as another "
         "user: Not authorized)\n"},
        {1, "vantrel-helper-installer: systemctl daemon-reload failed (exit status 1)",
         "[HelperInstaller] vantrel-helper-installer failed: systemctl daemon-reload failed "
         "(exit status 1)\n"},
        {-1, "", "[HelperInstaller] pkexec failed: cannot start "},  // no pkexec at all
        {-2, "", "[HelperInstaller] pkexec failed: cannot start "},  // pkexec not executable
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged);
        if (c.status >= 0) {
            answerPkexec(c.status, c.error);
        } else {
            QFile::remove(options.pkexec);
            if (c.status == -2) {
                writeFile(options.pkexec, "not a program");
            }
        }
        HelperInstaller installer(options);
        testing::internal::CaptureStderr();
        const HelperInstallOutcome expected = c.status == 0  ? HelperInstallOutcome::installed
                                              : c.status < 0 ? HelperInstallOutcome::pkexecMissing
                                                             : HelperInstallOutcome::failed;
        EXPECT_EQ(installer.install(), expected);
        const std::string logged = testing::internal::GetCapturedStderr();
        EXPECT_EQ(logged.rfind(c.logged, 0), 0u) << logged;
        EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
    }
}

TEST(HelperInstallerOptionsTest, PkexecIsRunByItsAbsolutePathNeverThroughPath) {
    EXPECT_EQ(HelperInstallerOptions{}.pkexec, QStringLiteral("/usr/bin/pkexec"));
}

// pkexec running the installer as root cannot be signalled by the user's program: the
// stand-in ignores SIGTERM and would run for a minute. install() still returns in time.
TEST_F(HelperInstallerTest, NeverWaitsWithoutLimitForAPkexecItMayNotSignal) {
    using namespace std::chrono_literals;
    const std::string pidFile = dir.filePath(QStringLiteral("pkexec.pid")).toStdString();
    writeFile(options.pkexec,
              "#!/bin/sh\necho $$ > '" + pidFile + "'\ntrap '' TERM\nexec sleep 60\n",
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(QString::fromStdString(options.paths.config()));
    options.endGrace = 200ms;
    struct Case {
        const char* name;
        std::chrono::milliseconds answerLimit;
        bool quit;
        const char* logged;
    } cases[] = {
        {"the program quits", 10min, true,
         "[HelperInstaller] pkexec failed: stopped waiting because the program quits\n"},
        {"no answer in time", 300ms, false,
         "[HelperInstaller] pkexec failed: no answer within 0.3 s\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(pidFile.c_str());
        options.answerLimit = c.answerLimit;
        HelperInstaller installer(options);
        testing::internal::CaptureStderr();
        auto attempt = std::async(std::launch::async, [&installer] { return installer.install(); });
        pid_t standIn = 0;
        for (auto waited = 0ms; standIn == 0 && waited < 10s; waited += 10ms) {
            std::this_thread::sleep_for(10ms);  // until the stand-in has said who it is
            std::ifstream(pidFile) >> standIn;
        }
        ASSERT_GT(standIn, 0) << "the stand-in pkexec did not start";
        if (c.quit) {
            installer.cancel();
        }
        const bool returned = attempt.wait_for(5s) == std::future_status::ready;
        ::kill(standIn, SIGKILL);
        EXPECT_TRUE(returned) << "install() still waits for a pkexec it cannot end";
        EXPECT_EQ(attempt.get(), HelperInstallOutcome::failed);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.logged);
    }
}

}  // namespace
