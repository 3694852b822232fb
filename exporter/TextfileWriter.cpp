#include "exporter/TextfileWriter.h"

#include "core/WholeFileWrite.h"

#include <QDir>
#include <QFileInfo>

QString TextfileWriter::startProblem() const {
    const QFileInfo file(path_);
    if (!file.absoluteDir().exists()) {
        return QStringLiteral("cannot write %1: the folder %2 does not exist")
            .arg(path_, file.absolutePath());
    }
    return {};
}

QString TextfileWriter::write(const QByteArray& exposition) {
    // Readable by the node exporter's user, whatever the umask.
    constexpr auto kMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const QString error = writeFileAtomically(path_, exposition, kMode);
    QString line;
    if (!error.isEmpty() && lastError_.isEmpty()) {
        line = QStringLiteral("cannot write %1: %2").arg(path_, error);
    } else if (error.isEmpty() && !lastError_.isEmpty()) {
        line = QStringLiteral("writing %1 again").arg(path_);
    }
    lastError_ = error;
    return line;
}
