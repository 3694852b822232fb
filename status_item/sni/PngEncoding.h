#pragma once

#include <QByteArray>
#include <QImage>

// The image as an RGBA PNG stored without compression, written over `png` (whose memory is
// reused from one call to the next). Qt's PNG writer spends milliseconds on a bar-sized image
// choosing row filters and compressing; this is a single pass, and the file lives in memory
// (tmpfs) anyway. `png` is left empty for a null image.
void encodeUncompressedPng(const QImage& image, QByteArray& png);
