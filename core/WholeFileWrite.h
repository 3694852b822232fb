#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path` through a temporary file beside it that is synced and renamed over
// it: `path` keeps its old content or holds all of `bytes`, never a part. Returns why it
// failed (never empty then), or the empty text when all went well. The folder must exist.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);
