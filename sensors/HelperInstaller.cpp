#include "sensors/HelperInstaller.h"

#include "sensors/HelperPresence.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <signal.h>

#include <cstdio>

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
    if (const qint64 pid = pkexecPid_; pid > 0) {
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    }
}

bool HelperInstaller::install() {
    if (!isCurrent() && !runInstaller()) {
        return false;
    }
    log(QStringLiteral("Helper installed/updated successfully"));
    return true;
}

bool HelperInstaller::runInstaller() {
    QProcess pkexec;
    pkexec.start(options_.pkexec, {options_.installer});
    if (!pkexec.waitForStarted(-1)) {
        log(QStringLiteral("pkexec failed: %1").arg(pkexec.errorString()));
        return false;
    }
    pkexecPid_ = pkexec.processId();
    if (cancelled_) {
        ::kill(static_cast<pid_t>(pkexec.processId()), SIGTERM);
    }
    pkexec.closeWriteChannel();
    pkexec.waitForFinished(-1);
    pkexecPid_ = 0;
    const QString why = lastLine(pkexec.readAllStandardError());
    if (cancelled_) {
        log(QStringLiteral("pkexec failed: ended because the program quits"));
        return false;
    }
    if (pkexec.exitStatus() != QProcess::NormalExit) {
        log(QStringLiteral("pkexec failed: it ended abnormally (%1)").arg(why));
        return false;
    }
    switch (pkexec.exitCode()) {
        case 0:
            return true;
        case kDialogDismissed:
            log(QStringLiteral("pkexec failed: the administrator password dialog was dismissed"));
            return false;
        case kNotAuthorized:
            log(QStringLiteral("pkexec failed: not authorized (%1)").arg(why));
            return false;
        default:
            log(QStringLiteral("%1 failed: %2").arg(QString::fromUtf8(kHelperInstallerName), why));
            return false;
    }
}
