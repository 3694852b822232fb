#pragma once

#include <QImage>
#include <QString>

// Why the icon files may not go under this runtime directory: it must exist, belong to this
// user and be private (mode 0700). Empty when they may.
QString runtimeDirectoryProblem(const QString& runtimeDirectory);

// The status image as a PNG file a tray host can load by path. Two file names take turns, so
// that a host which caches images by path sees a new path on every change.
class IconFiles {
public:
    // The files are `<runtimeDirectory>/vantrel/<stem>-a.png` and `...-b.png`.
    IconFiles(QString runtimeDirectory, QString stem);
    ~IconFiles();
    IconFiles(const IconFiles&) = delete;
    IconFiles& operator=(const IconFiles&) = delete;

    struct Written {
        QString path;     // empty when nothing was written
        QString problem;  // why, when nothing was written
    };
    // Writes the image to the file that was not written last time, replacing it whole.
    Written write(const QImage& image);

private:
    QString runtimeDirectory_;
    QString stem_;
    bool nextIsA_ = true;
    bool wroteA_ = false;
    bool wroteB_ = false;
    QByteArray png_;  // kept, so that its memory serves the next image too

    QString folder() const;
    QString pathOf(bool a) const;
};
