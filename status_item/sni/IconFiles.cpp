#include "status_item/sni/IconFiles.h"

#include <QDir>
#include <QFile>

#include "status_item/sni/PngEncoding.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The newest file and the one before it, which a host told of it a moment ago may still read.
constexpr qsizetype keptFiles = 2;

QString modeText(mode_t mode) {
    return QStringLiteral("%1").arg(mode & 07777, 4, 8, QLatin1Char('0'));
}

// Our own folder inside the runtime directory: created private, and refused when it is
// anything but a private directory of ours (a symbolic link, say).
QString ensurePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return folder + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return folder + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        return folder + QStringLiteral(" is not a private directory of this user");
    }
    return {};
}

}  // namespace

QString runtimeDirectoryProblem(const QString& runtimeDirectory) {
    if (runtimeDirectory.isEmpty()) {
        return QStringLiteral("XDG_RUNTIME_DIR is not set");
    }
    struct stat info {};
    if (::stat(QFile::encodeName(runtimeDirectory).constData(), &info) != 0) {
        return runtimeDirectory + QStringLiteral(": ") +
               QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return runtimeDirectory + QStringLiteral(" is not a directory");
    }
    if (info.st_uid != ::geteuid()) {
        return runtimeDirectory + QStringLiteral(" belongs to another user");
    }
    if ((info.st_mode & 0777) != 0700) {
        return runtimeDirectory + QStringLiteral(" is not private (mode ") +
               modeText(info.st_mode) + QStringLiteral(")");
    }
    return {};
}

IconFiles::IconFiles(QString runtimeDirectory, QString stem)
    : runtimeDirectory_(std::move(runtimeDirectory)), stem_(std::move(stem)) {}

IconFiles::~IconFiles() {
    for (const QString& path : std::as_const(kept_)) {
        QFile::remove(path);
    }
    if (!kept_.isEmpty()) {
        QDir().rmdir(folder());  // only when no other item's files are left in it
    }
}

QString IconFiles::folder() const {
    return runtimeDirectory_ + QStringLiteral("/vantrel");
}

QString IconFiles::pathOf(quint64 sequence) const {
    return folder() + QLatin1Char('/') + stem_ + QLatin1Char('-') + QString::number(sequence) +
           QStringLiteral(".png");
}

IconFiles::Written IconFiles::write(const QImage& image) {
    if (QString problem = runtimeDirectoryProblem(runtimeDirectory_); !problem.isEmpty()) {
        return {{}, problem};
    }
    if (QString problem = ensurePrivateFolder(folder()); !problem.isEmpty()) {
        return {{}, problem};
    }
    const QString path = pathOf(++sequence_);
    encodeUncompressedPng(image, png_);
    if (png_.isEmpty()) {
        return {{}, QStringLiteral("the image cannot be encoded")};
    }
    // Written aside and renamed into place, so a host never reads half a file. No sync:
    // the file lives in memory and means nothing after a restart.
    const QString partial = path + QStringLiteral(".new");
    QFile file(partial);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(png_) == png_.size() && file.flush();
    const QString writeError = file.errorString();
    file.close();
    if (!written || ::rename(QFile::encodeName(partial).constData(),
                             QFile::encodeName(path).constData()) != 0) {
        const QString why = written ? QString::fromLocal8Bit(std::strerror(errno)) : writeError;
        QFile::remove(partial);
        return {{}, path + QStringLiteral(": ") + why};
    }
    kept_.append(path);
    while (kept_.size() > keptFiles) {
        QFile::remove(kept_.takeFirst());
    }
    return {path, {}};
}
