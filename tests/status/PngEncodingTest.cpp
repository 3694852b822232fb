#include "status_item/sni/PngEncoding.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// What a host loading the file gets back, for the formats the renderer may hand over.
TEST(PngEncodingTest, LoadsBackAsTheSameImage) {
    const std::vector<std::pair<const char*, QImage::Format>> cases{
        {"premultiplied", QImage::Format_ARGB32_Premultiplied},
        {"straight alpha", QImage::Format_ARGB32},
        {"opaque", QImage::Format_RGB32},
        {"rgba bytes", QImage::Format_RGBA8888},
    };
    QByteArray png;  // one buffer for all, as the status item keeps it
    for (const auto& [name, format] : cases) {
        // Rows of 1205 bytes: the data crosses the 64 KiB limit of a stored block mid-row.
        QImage image(301, 60, format);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(0, 0, 100, 60, QColor(200, 40, 30, 128));
        painter.fillRect(100, 10, 201, 20, QColor(10, 220, 90));
        painter.end();

        encodeUncompressedPng(image, png);
        const QImage loaded = QImage::fromData(png, "PNG");
        ASSERT_FALSE(loaded.isNull()) << name;
        EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGBA8888),
                  image.convertToFormat(QImage::Format_RGBA8888))
            << name;
    }
    encodeUncompressedPng(QImage(), png);
    EXPECT_TRUE(png.isEmpty());
}

}  // namespace
