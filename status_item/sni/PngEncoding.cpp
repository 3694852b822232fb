#include "status_item/sni/PngEncoding.h"

#include <QtEndian>

#include <cstring>
#include <vector>

#include <zlib.h>

namespace {

constexpr qsizetype signatureSize = 8;
constexpr qsizetype chunkOverhead = 12;  // length, type, CRC
constexpr qsizetype headerDataSize = 13;
constexpr qsizetype storedBlockLimit = 65535;
constexpr qsizetype storedBlockHeader = 5;  // final flag and type, length, its complement

// The deflate stream of stored blocks, filled in pieces of any size.
class StoredBlocks {
public:
    StoredBlocks(char* out, qsizetype total) : out_(out), remaining_(total) {}

    void put(const uchar* data, qsizetype size) {
        while (size > 0) {
            if (leftInBlock_ == 0) {
                startBlock();
            }
            const qsizetype piece = qMin(size, leftInBlock_);
            std::memcpy(out_, data, size_t(piece));
            out_ += piece;
            data += piece;
            size -= piece;
            leftInBlock_ -= piece;
            remaining_ -= piece;
        }
    }
    char* end() const { return out_; }

private:
    void startBlock() {
        leftInBlock_ = qMin(remaining_, storedBlockLimit);
        *out_++ = remaining_ == leftInBlock_ ? 1 : 0;
        qToLittleEndian(quint16(leftInBlock_), out_);
        qToLittleEndian(quint16(~quint16(leftInBlock_)), out_ + 2);
        out_ += 4;
    }

    char* out_;
    qsizetype remaining_;
    qsizetype leftInBlock_ = 0;
};

char* putChunkStart(char* at, quint32 dataSize, const char (&type)[5]) {
    qToBigEndian(dataSize, at);
    std::memcpy(at + 4, type, 4);
    return at + 8;
}

// Closes the chunk whose type starts at `type`, with the CRC of type and data.
char* putChunkEnd(char* type, char* end) {
    qToBigEndian(quint32(::crc32(0, reinterpret_cast<const Bytef*>(type), uInt(end - type))), end);
    return end + 4;
}

qsizetype storedStreamSize(qsizetype rawSize) {
    const qsizetype blocks =
        qMax<qsizetype>(1, (rawSize + storedBlockLimit - 1) / storedBlockLimit);
    return 2 + blocks * storedBlockHeader + rawSize + 4;  // zlib header, blocks, Adler-32
}

}  // namespace

void encodeUncompressedPng(const QImage& image, QByteArray& png) {
    png.resize(0);
    if (image.isNull()) {
        return;
    }
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    const int width = straight.width();
    const int height = straight.height();
    const qsizetype rowSize = 1 + qsizetype(width) * 4;  // filter type 0, then RGBA
    const qsizetype streamSize = storedStreamSize(rowSize * height);
    png.resize(signatureSize + 3 * chunkOverhead + headerDataSize + streamSize);

    char* at = png.data();
    std::memcpy(at, "\x89PNG\r\n\x1a\n", signatureSize);
    at += signatureSize;

    char* type = at + 4;
    at = putChunkStart(at, headerDataSize, "IHDR");
    qToBigEndian(quint32(width), at);
    qToBigEndian(quint32(height), at + 4);
    const char header[5] = {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filtering, progressive
    std::memcpy(at + 8, header, sizeof header);
    at = putChunkEnd(type, at + headerDataSize);

    type = at + 4;
    at = putChunkStart(at, quint32(streamSize), "IDAT");
    *at++ = 0x78;  // deflate, 32 KiB window
    *at++ = 0x01;  // no preset dictionary; check bits make the pair a multiple of 31
    StoredBlocks blocks(at, rowSize * height);
    std::vector<uchar> row(static_cast<size_t>(rowSize));
    uLong adler = ::adler32(0, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const quint32*>(straight.constScanLine(y));
        uchar* out = row.data() + 1;
        for (int x = 0; x < width; ++x, out += 4) {
            const quint32 argb = pixels[x];
            qToBigEndian(quint32((argb << 8) | (argb >> 24)), out);  // R, G, B, A
        }
        blocks.put(row.data(), rowSize);
        adler = ::adler32(adler, row.data(), uInt(rowSize));
    }
    at = blocks.end();
    qToBigEndian(quint32(adler), at);
    at = putChunkEnd(type, at + 4);

    type = at + 4;
    at = putChunkStart(at, 0, "IEND");
    putChunkEnd(type, at);
}
