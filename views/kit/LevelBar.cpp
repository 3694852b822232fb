#include "views/kit/LevelBar.h"

#include "core/TextFormat.h"
#include "views/kit/GraphGeometry.h"
#include "views/kit/MetricBlock.h"
#include "views/kit/ViewPalette.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

LevelBar::LevelBar(QWidget* parent)
    : QWidget(parent), fillColor_(ViewPalette::green()), trackColor_(ViewPalette::secondaryText()) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateAccessibleName();
}

void LevelBar::setValue(double fraction) {
    if (fraction == value_ || (std::isnan(fraction) && std::isnan(value_))) {
        return;
    }
    value_ = fraction;
    updateAccessibleName();
    update();
}

void LevelBar::setFillColor(const QColor& color) {
    if (color == fillColor_) {
        return;
    }
    fillColor_ = color;
    update();
}

void LevelBar::setFillOpacity(double opacity) {
    if (opacity == fillOpacity_) {
        return;
    }
    fillOpacity_ = opacity;
    update();
}

void LevelBar::setTrackColor(const QColor& color) {
    if (color == trackColor_) {
        return;
    }
    trackColor_ = color;
    update();
}

void LevelBar::setTrackOpacity(double opacity) {
    if (opacity == trackOpacity_) {
        return;
    }
    trackOpacity_ = opacity;
    update();
}

void LevelBar::setBarHeight(int height) {
    if (height == barHeight_) {
        return;
    }
    barHeight_ = height;
    updateGeometry();
    update();
}

void LevelBar::setCornerRadius(double radius) {
    if (radius == cornerRadius_) {
        return;
    }
    cornerRadius_ = radius;
    update();
}

void LevelBar::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    updateAccessibleName();
}

void LevelBar::setSegments(const QVector<Segment>& segments) {
    if (segments == segments_) {
        return;
    }
    segments_ = segments;
    update();
}

void LevelBar::updateAccessibleName() {
    const QString percent = readingText(
        value_, [](double fraction) { return percentText(std::clamp(fraction, 0.0, 1.0)); });
    setAccessibleName(label_.isEmpty() ? percent : label_ + QLatin1Char(' ') + percent);
}

QSize LevelBar::sizeHint() const {
    return {80, barHeight_};
}

QSize LevelBar::minimumSizeHint() const {
    return {barHeight_, barHeight_};
}

void LevelBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track(0, (height() - barHeight_) / 2.0, width(), barHeight_);
    const double radius = cornerRadius_.value_or(barHeight_ / 2.0);
    painter.setBrush(ViewPalette::withOpacity(trackColor_, trackOpacity_));
    painter.drawRoundedRect(track, radius, radius);
    if (!segments_.isEmpty()) {
        // Square joins between the parts, the track's rounded ends outside them.
        QPainterPath ends;
        ends.addRoundedRect(track, radius, radius);
        painter.setClipPath(ends);
        double left = track.left();
        for (const Segment& segment : segments_) {
            const QRectF part = barFillRect(segment.fraction, track);
            const QRectF placed(left, track.top(), std::min(part.width(), track.right() - left),
                                track.height());
            if (placed.width() > 0) {
                painter.fillRect(placed, ViewPalette::withOpacity(segment.color, fillOpacity_));
                left = placed.right();
            }
        }
        return;
    }
    const QRectF fill = barFillRect(value_, track);
    if (fill.width() > 0) {
        painter.setBrush(ViewPalette::withOpacity(fillColor_, fillOpacity_));
        painter.drawRoundedRect(fill, radius, radius);
    }
}
