#include "core/WholeFileWrite.h"

#include <QSaveFile>

namespace {

QString reasonOf(const QSaveFile& file) {
    const QString reason = file.errorString();
    return reason.isEmpty() ? QStringLiteral("the write failed") : reason;
}

}  // namespace

QString writeFileAtomically(const QString& path, const QByteArray& bytes,
                            std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return reasonOf(file);
    }
    if (permissions && !file.setPermissions(*permissions)) {
        const QString reason = reasonOf(file);
        file.cancelWriting();
        return reason;
    }
    // A small write only fills Qt's buffer. Should the disk then take a part of it, only the
    // flush says so; commit() would not, and the cut file would replace the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = reasonOf(file);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return reasonOf(file);
    }
    return {};
}
