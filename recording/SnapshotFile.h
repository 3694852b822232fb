#pragma once

#include "recording/FileResult.h"

#include <QString>

// Writes `text` as UTF-8 to `path` in one step: the file holds either its old content or the
// whole new text, never a part of it.
FileResult writeSnapshotFile(const QString& path, const QString& text);
