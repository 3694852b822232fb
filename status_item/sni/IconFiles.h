#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Why the icon files may not go under this runtime directory: it must exist, belong to this
// user and be private (mode 0700). Empty when they may.
QString runtimeDirectoryProblem(const QString& runtimeDirectory);

// The status image as a PNG file a tray host can load by path. Every image gets a name never
// used before, so that no host's cache of images by path can serve an old one. The file before
// the newest is kept too, for a host still reading the name it was told last; older ones go.
class IconFiles {
public:
    // The files are `<runtimeDirectory>/vantrel/<stem>-<sequence>.png`.
    IconFiles(QString runtimeDirectory, QString stem);
    ~IconFiles();
    IconFiles(const IconFiles&) = delete;
    IconFiles& operator=(const IconFiles&) = delete;

    struct Written {
        QString path;     // empty when nothing was written
        QString problem;  // why, when nothing was written
    };
    // Writes the image whole under a new name, then removes the file before the last.
    Written write(const QImage& image);

private:
    QString runtimeDirectory_;
    QString stem_;
    quint64 sequence_ = 0;
    QStringList kept_;  // the files written and not yet removed, oldest first
    QByteArray png_;    // kept, so that its memory serves the next image too

    QString folder() const;
    QString pathOf(quint64 sequence) const;
};
