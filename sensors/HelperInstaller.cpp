#include "sensors/HelperInstaller.h"

#include "sensors/HelperPresence.h"

#include <QDir>
#include <QFileInfo>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// pkexec's own exit statuses; the installer uses 0 and 1 only.
constexpr int kDialogDismissed = 126;
constexpr int kNotAuthorized = 127;

void log(const QString& line) {
    std::fprintf(stderr, "[HelperInstaller] %s\n", qPrintable(line));
}

// The last line a program wrote on its standard error, without the program's name before it.
QString lastLine(const QByteArray& output) {
    const QStringList lines =
        QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty()) {
        return QStringLiteral("no reason given");
    }
    QString line = lines.last().trimmed();
    const QString ownName = QString::fromUtf8(kHelperInstallerName) + QStringLiteral(": ");
    return line.startsWith(ownName) ? line.mid(ownName.size()) : line;
}

}  // namespace

HelperInstaller::HelperInstaller(HelperInstallerOptions options) : options_(std::move(options)) {}

QString HelperInstaller::findInstaller(const QString& applicationFolder) {
    const QFileInfo beside(
        QDir(applicationFolder).filePath(QString::fromUtf8(kHelperInstallerName)));
    return beside.isExecutable() ? beside.absoluteFilePath()
                                 : QString::fromUtf8(kInstalledHelperInstaller);
}

bool HelperInstaller::isCurrent() const {
    const auto installer = std::filesystem::path(options_.installer.toStdString());
    return inspectHelperInstallation(options_.paths, bundledHelperBeside(installer), options_.user,
                                     options_.trustedOwner)
               .filesCurrent() &&
           helperSocketAnswers(options_.socketPath);
}

void HelperInstaller::cancel() {
    cancelled_ = true;
    const std::lock_guard lock(pkexecMutex_);
    if (pkexec_ != nullptr) {
        pkexec_->signal(SIGTERM);
    }
}

HelperInstallOutcome HelperInstaller::install() {
    if (!isCurrent()) {
        if (const HelperInstallOutcome outcome = runInstaller();
            outcome != HelperInstallOutcome::installed) {
            return outcome;
        }
    }
    log(QStringLiteral("Helper installed/updated successfully"));
    return HelperInstallOutcome::installed;
}

bool HelperInstaller::awaitPkexec(ChildProcess& pkexec) {
    using Clock = std::chrono::steady_clock;
    // cancel() signals pkexec at once; these turns notice a cancel that pkexec, running the
    // installer as root by then, did not receive.
    constexpr auto kTurn = std::chrono::milliseconds(100);
    const auto limit = Clock::now() + options_.answerLimit;
    while (!cancelled_ && Clock::now() < limit) {
        if (pkexec.waitUntil(std::min(Clock::now() + kTurn, limit))) {
            return true;
        }
    }
    pkexec.signal(SIGTERM);
    pkexec.waitUntil(Clock::now() + options_.endGrace);
    return false;
}

HelperInstallOutcome HelperInstaller::runInstaller() {
    ChildProcess pkexec;
    if (const int error =
            pkexec.start(options_.pkexec.toStdString(), {options_.installer.toStdString()})) {
        log(QStringLiteral("pkexec failed: cannot start %1: %2 (the pkexec package provides it)")
                .arg(options_.pkexec, QString::fromLocal8Bit(std::strerror(error))));
        return HelperInstallOutcome::pkexecMissing;
    }
    {
        const std::lock_guard lock(pkexecMutex_);
        pkexec_ = &pkexec;
    }
    const bool endedInTime = awaitPkexec(pkexec);
    {
        const std::lock_guard lock(pkexecMutex_);
        pkexec_ = nullptr;
    }
    const QString why = lastLine(QByteArray::fromStdString(pkexec.standardError()));
    if (cancelled_) {
        log(QStringLiteral("pkexec failed: stopped waiting because the program quits"));
        return HelperInstallOutcome::failed;
    }
    if (!endedInTime) {
        log(QStringLiteral("pkexec failed: no answer within %1 s")
                .arg(static_cast<double>(options_.answerLimit.count()) / 1000.0));
        return HelperInstallOutcome::failed;
    }
    const std::optional<int> status = pkexec.waitStatus();
    if (!status || !WIFEXITED(*status)) {
        log(QStringLiteral("pkexec failed: it ended abnormally (%1)").arg(why));
        return HelperInstallOutcome::failed;
    }
    switch (WEXITSTATUS(*status)) {
        case 0:
            return HelperInstallOutcome::installed;
        case kDialogDismissed:
            log(QStringLiteral("pkexec failed: the administrator password dialog was dismissed"));
            return HelperInstallOutcome::failed;
        case kNotAuthorized:
            log(QStringLiteral("pkexec failed: not authorized (%1)").arg(why));
            return HelperInstallOutcome::failed;
        default:
            log(QStringLiteral("%1 failed: %2").arg(QString::fromUtf8(kHelperInstallerName), why));
            return HelperInstallOutcome::failed;
    }
}
