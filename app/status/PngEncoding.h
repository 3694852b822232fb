#pragma once

#include <QByteArray>
#include <QImage>

// The image as an RGBA PNG, stored without compression: for a bar-sized image Qt's PNG writer
// spends milliseconds choosing row filters and compressing, this a tenth of that, and the file
// lives in memory (tmpfs) anyway. Empty for a null image.
QByteArray encodeUncompressedPng(const QImage& image);
