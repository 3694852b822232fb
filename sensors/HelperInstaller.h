#pragma once

#include "installation/HelperInstallation.h"
#include "sensors/ChildProcess.h"
#include "shared/HelperService.h"

#include <QString>

#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>

struct HelperInstallerOptions {
    // The installer program pkexec runs as root; the helper it installs lies beside it.
    QString installer = QString::fromUtf8(kInstalledHelperInstaller);
    HelperInstallationPaths paths;
    QString socketPath = QString::fromUtf8(helper_service::kSocketPath);
    // Asks for an administrator's password (polkit), then runs the installer as root. Run by
    // this absolute path: a program found through PATH could be anyone's.
    QString pkexec = QStringLiteral("/usr/bin/pkexec");
    // How long an attempt waits for pkexec: the password dialog and the installer together.
    std::chrono::milliseconds answerLimit = std::chrono::minutes(10);
    // How long it still waits after ending pkexec (at that limit, or because the program
    // quits). pkexec running the installer as root may not be signalled by this user's
    // program; the installer then finishes on its own, unobserved.
    std::chrono::milliseconds endGrace = std::chrono::seconds(2);
    uid_t user = ::getuid();
    uid_t trustedOwner = 0;
};

// How an installation attempt ended. `pkexecMissing`: pkexec cannot be run at all, so asking
// again cannot help until the user installs it.
enum class HelperInstallOutcome { installed, failed, pkexecMissing };

// Makes sure the sensor helper is installed, current and listening for this user. When it
// already is, nothing runs and no password is asked; otherwise pkexec runs the installer,
// which asks for an administrator's password unless polkit still remembers one. Logs one line
// per attempt: "[HelperInstaller] Helper installed/updated successfully", or what failed.
class HelperInstaller {
public:
    explicit HelperInstaller(HelperInstallerOptions options = {});

    // The installer beside the application (a build tree), else the package's.
    static QString findInstaller(const QString& applicationFolder);

    // Installed when the helper is installed and its socket answers. Waits until the password
    // dialog has been answered and the installer has run (cancelling the dialog is a failure
    // like any other), at most answerLimit and endGrace: never call it on the main thread.
    HelperInstallOutcome install();

    // The installed files are what the installer would write and the socket answers.
    bool isCurrent() const;

    // Ends a pkexec still waiting for its password dialog, so that install() returns false
    // at once, and within endGrace when an installer already runs as root (it finishes on its
    // own). For a program that quits while an attempt runs. Any thread.
    void cancel();

private:
    // pkexec with the installer: whether it succeeded; logs why not.
    HelperInstallOutcome runInstaller();
    // Waits for pkexec until it ends, the answer limit passes or cancel() is called; then
    // ends it and waits endGrace at most. Whether it ended by itself in time.
    bool awaitPkexec(ChildProcess& pkexec);

    HelperInstallerOptions options_;
    std::atomic<bool> cancelled_{false};
    // The running pkexec, for cancel() on another thread.
    std::mutex pkexecMutex_;
    ChildProcess* pkexec_ = nullptr;
};
