#include "recording/SnapshotFile.h"

#include <QSaveFile>

FileResult writeSnapshotFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        // An uncommitted save file removes its temporary copy; the target stays untouched.
        return {QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    }
    return {};
}
