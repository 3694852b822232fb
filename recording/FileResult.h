#pragma once

#include <QString>

// The outcome of writing a file: an error of one line, empty when all went well.
struct FileResult {
    QString error;
    bool ok() const { return error.isEmpty(); }
};
