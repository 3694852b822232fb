#include "support/PrivateSessionBus.h"

#include <QFile>
#include <QStandardPaths>

#include <signal.h>
#include <sys/prctl.h>

namespace {

constexpr int startLimitMs = 10000;  // a hang guard only; the daemon starts in milliseconds

QByteArray configuration(const QString& socketDirectory) {
    return QByteArrayLiteral(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:dir=") +
           socketDirectory.toUtf8() +
           QByteArrayLiteral(
               "</listen>\n"
               "  <auth>EXTERNAL</auth>\n"
               "  <policy context=\"default\">\n"
               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n"
               "    <allow own=\"*\"/>\n"
               "  </policy>\n"
               "</busconfig>\n");
}

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        failure_ = QStringLiteral("dbus-daemon is not installed (scripts/install-deps.sh)");
        return;
    }
    if (!dir_.isValid()) {
        failure_ = QStringLiteral("no temporary directory: ") + dir_.errorString();
        return;
    }
    const QString configPath = dir_.filePath(QStringLiteral("session.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configuration(dir_.path())) < 0) {
        failure_ = QStringLiteral("cannot write ") + configPath;
        return;
    }
    config.close();

    daemon_.setStandardErrorFile(QProcess::nullDevice());
    daemon_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.start(program, {QStringLiteral("--config-file=") + configPath,
                            QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(startLimitMs)) {
        failure_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
        return;
    }
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(startLimitMs)) {
            failure_ = QStringLiteral("dbus-daemon printed no address");
            return;
        }
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(startLimitMs)) {
            daemon_.kill();
            daemon_.waitForFinished(startLimitMs);
        }
    }
}
