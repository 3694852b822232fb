#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Writes `bytes` to `path` through a temporary file beside it that is synced and renamed over
// it: `path` keeps its old content or holds all of `bytes`, never a part. Returns why it
// failed (never empty then), or the empty text when all went well. The folder must exist.
// With `permissions`, the new file has exactly that mode (the temporary gets it before the
// rename), whatever the umask; without, a replaced file keeps its mode.
QString writeFileAtomically(const QString& path, const QByteArray& bytes,
                            std::optional<QFileDevice::Permissions> permissions = std::nullopt);
