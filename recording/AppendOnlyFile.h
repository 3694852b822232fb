#pragma once

#include "recording/FileResult.h"

#include <QByteArray>
#include <QString>

// A file that grows by whole lines only. Each line goes to the kernel in a single write on an
// append-only descriptor, so a crash of the program never leaves part of a line in the file;
// a write the disk cannot take in full is cut back to the last whole line. The one exception
// is the kernel's own: a SIGKILL that arrives inside the write of a line crossing a 4 KiB page
// of the file may stop the copy at that page boundary.
class AppendOnlyFile {
public:
    AppendOnlyFile() = default;
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;
    AppendOnlyFile(AppendOnlyFile&& other) noexcept;
    AppendOnlyFile& operator=(AppendOnlyFile&& other) noexcept;
    ~AppendOnlyFile();

    // Creates `path`, or empties the file already there, and writes `firstLine` to it. A new
    // file whose first line cannot be written is removed again.
    FileResult create(const QString& path, const QByteArray& firstLine);

    // Appends `line` whole. On any failure the file keeps exactly what it held before, is
    // closed, and takes no more lines.
    FileResult append(const QByteArray& line);

    // Hands the content to the disk and closes the file.
    FileResult close();

    bool isOpen() const { return fd_ >= 0; }
    const QString& path() const { return path_; }

private:
    FileResult failure(const QString& action, int error);
    void closeDescriptor();

    int fd_ = -1;
    qint64 size_ = 0;  // bytes of whole lines in the file
    QString path_;
};
