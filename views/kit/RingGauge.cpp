#include "views/kit/RingGauge.h"

#include "core/TextFormat.h"
#include "views/kit/MetricBlock.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double trackOpacity = 0.15;
constexpr int captionGap = 3;

double shown(double fraction) {
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
}

QString gaugeText(double fraction) {
    return readingText(fraction, [](double value) { return percentText(shown(value)); });
}

}  // namespace

RingGauge::RingGauge(const QString& caption, QWidget* parent)
    : QWidget(parent), color_(ViewPalette::blue()), caption_(caption) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateAccessibleName();
}

void RingGauge::setValue(double fraction) {
    if (fraction == value_ || (std::isnan(fraction) && std::isnan(value_))) {
        return;
    }
    value_ = fraction;
    updateAccessibleName();
    update();
}

void RingGauge::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void RingGauge::setCaption(const QString& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    updateAccessibleName();
    updateGeometry();
    update();
}

void RingGauge::setDiameter(int diameter) {
    if (diameter == diameter_) {
        return;
    }
    diameter_ = diameter;
    updateGeometry();
    update();
}

void RingGauge::setLineWidth(double width) {
    if (width == lineWidth_) {
        return;
    }
    lineWidth_ = width;
    update();
}

void RingGauge::updateAccessibleName() {
    const QString percent = gaugeText(value_);
    setAccessibleName(caption_.isEmpty() ? percent : caption_ + QLatin1Char(' ') + percent);
}

QSize RingGauge::sizeHint() const {
    const QFontMetrics metrics(ViewFonts::shared().smallCaption);
    const int captionWidth = caption_.isEmpty() ? 0 : metrics.horizontalAdvance(caption_);
    const int captionHeight = caption_.isEmpty() ? 0 : captionGap + metrics.height();
    return {std::max(diameter_, captionWidth), diameter_ + captionHeight};
}

void RingGauge::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = lineWidth_ / 2;
    const QRectF ring = QRectF((width() - diameter_) / 2.0, 0, diameter_, diameter_)
                            .adjusted(inset, inset, -inset, -inset);

    painter.setPen(QPen(ViewPalette::withOpacity(color_, trackOpacity), lineWidth_));
    painter.drawEllipse(ring);
    const double fraction = shown(value_);
    if (fraction > 0) {
        // Qt's angles are in sixteenths of a degree, counter-clockwise from three o'clock.
        painter.setPen(QPen(color_, lineWidth_, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, 90 * 16, -static_cast<int>(std::lround(fraction * 360 * 16)));
    }

    const ViewFonts& fonts = ViewFonts::shared();
    painter.setPen(ViewPalette::primaryText());
    painter.setFont(ViewFonts::monospacedDigits(fonts.smallCaption));
    painter.drawText(ring, Qt::AlignCenter, gaugeText(value_));
    if (!caption_.isEmpty()) {
        painter.setPen(ViewPalette::secondaryText());
        painter.setFont(fonts.smallCaption);
        painter.drawText(QRectF(0, diameter_ + captionGap, width(), height() - diameter_),
                         Qt::AlignHCenter | Qt::AlignTop, caption_);
    }
}
