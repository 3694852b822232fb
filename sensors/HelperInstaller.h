#pragma once

#include "installation/HelperInstallation.h"
#include "shared/HelperService.h"

#include <QString>

#include <sys/types.h>
#include <unistd.h>

#include <atomic>

struct HelperInstallerOptions {
    // The installer program pkexec runs as root; the helper it installs lies beside it.
    QString installer = QString::fromUtf8(kInstalledHelperInstaller);
    HelperInstallationPaths paths;
    QString socketPath = QString::fromUtf8(helper_service::kSocketPath);
    // Asks for an administrator's password (polkit), then runs the installer as root.
    QString pkexec = QStringLiteral("pkexec");
    uid_t user = ::getuid();
    uid_t trustedOwner = 0;
};

// Makes sure the sensor helper is installed, current and listening for this user. When it
// already is, nothing runs and no password is asked; otherwise pkexec runs the installer,
// which asks for an administrator's password unless polkit still remembers one. Logs one line
// per attempt: "[HelperInstaller] Helper installed/updated successfully", or what failed.
class HelperInstaller {
public:
    explicit HelperInstaller(HelperInstallerOptions options = {});

    // The installer beside the application (a build tree), else the package's.
    static QString findInstaller(const QString& applicationFolder);

    // True when the helper is installed and its socket answers. Waits until the password
    // dialog has been answered (cancelling it is a failure like any other): never call it
    // on the main thread.
    bool install();

    // The installed files are what the installer would write and the socket answers.
    bool isCurrent() const;

    // Ends a pkexec still waiting for its password dialog, so that install() returns false
    // at once; an installer already running as root finishes. For a program that quits while
    // the dialog is up. Any thread.
    void cancel();

private:
    // pkexec with the installer: whether it succeeded; logs why not.
    bool runInstaller();

    HelperInstallerOptions options_;
    std::atomic<bool> cancelled_{false};
    std::atomic<qint64> pkexecPid_{0};
};
