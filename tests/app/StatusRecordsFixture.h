#pragma once

#include "status_item/picture/StatusItemRenderer.h"

#include <QImage>

#include <cmath>
#include <functional>

// Records the status item can be drawn from, owned by the test.
struct OwnedRecords {
    CpuStats cpu;
    RamStats ram;
    NetworkStats network;
    GpuStats gpu;
    BatteryStats battery;
    DiskStats disk;
    SensorStats sensors;

    StatusRecords view() const { return {cpu, ram, network, gpu, battery, disk, sensors}; }
};

inline StatusLook lookOf(QVector<StatusItemEntry> items, double pillOpacity = 0.0) {
    StatusLook look;
    look.items = std::move(items);
    look.pillOpacity = pillOpacity;
    look.accent = QColor(139, 92, 246);
    look.labelColor = QColor(242, 242, 242);
    return look;
}

// Whether some pixel of `image` inside `area` (device pixels) is close to `color` and opaque.
inline bool hasPixelNear(const QImage& image, const QColor& color, QRect area = {},
                         int tolerance = 40) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRect box = area.isNull() ? argb.rect() : area.intersected(argb.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor pixel = argb.pixelColor(x, y);
            if (pixel.alpha() > 200 && std::abs(pixel.red() - color.red()) < tolerance &&
                std::abs(pixel.green() - color.green()) < tolerance &&
                std::abs(pixel.blue() - color.blue()) < tolerance) {
                return true;
            }
        }
    }
    return false;
}

inline bool anyOpaquePixel(const QImage& image, QRect area) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRect box = area.intersected(argb.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (argb.pixelColor(x, y).alpha() > 60) {
                return true;
            }
        }
    }
    return false;
}
