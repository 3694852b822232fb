#include "app/status/PngEncoding.h"

#include <QtEndian>

#include <zlib.h>

namespace {

void appendBigEndian(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// Length, type, data, and the CRC of type and data.
void appendChunk(QByteArray& out, const char (&type)[5], const QByteArray& data) {
    appendBigEndian(out, quint32(data.size()));
    const qsizetype crcStart = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* covered = reinterpret_cast<const Bytef*>(out.constData() + crcStart);
    appendBigEndian(out, quint32(::crc32(0, covered, uInt(out.size() - crcStart))));
}

}  // namespace

QByteArray encodeUncompressedPng(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const qsizetype rowBytes = qsizetype(rgba.width()) * 4;

    QByteArray rows;  // each row after its filter type, 0 = none
    rows.reserve((rowBytes + 1) * rgba.height());
    for (int y = 0; y < rgba.height(); ++y) {
        rows.append('\0');
        rows.append(reinterpret_cast<const char*>(rgba.constScanLine(y)), rowBytes);
    }
    uLongf packedSize = ::compressBound(uLong(rows.size()));
    QByteArray packed(qsizetype(packedSize), Qt::Uninitialized);
    if (::compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                    reinterpret_cast<const Bytef*>(rows.constData()), uLong(rows.size()),
                    Z_NO_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.truncate(qsizetype(packedSize));

    QByteArray header;
    appendBigEndian(header, quint32(rgba.width()));
    appendBigEndian(header, quint32(rgba.height()));
    header.append(char(8));  // bits per channel
    header.append(char(6));  // colour type: RGB with alpha
    header.append(3, '\0');  // deflate, adaptive filtering, no interlace

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(packed.size() + 64);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}
