#include "views/graphs/GlowGraphView.h"

#include "views/graphs/GlowLayer.h"
#include "views/kit/GraphGeometry.h"
#include "views/kit/ViewPalette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace {

constexpr double lineWidth = 1.5;
constexpr double fillTopOpacity = 0.45;
constexpr double placeholderOpacity = 0.12;

}  // namespace

GlowGraphView::GlowGraphView(QWidget* parent) : QWidget(parent), color_(Qt::white) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void GlowGraphView::setValues(const QVector<double>& values) {
    if (values == values_) {
        return;
    }
    values_ = values;
    points_ = normalize(values_);
    glow_ = QImage();
    update();
}

void GlowGraphView::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    glow_ = QImage();
    update();
}

QSize GlowGraphView::sizeHint() const {
    return {120, 46};
}

QSize GlowGraphView::minimumSizeHint() const {
    return {20, 10};
}

void GlowGraphView::resizeEvent(QResizeEvent* event) {
    glow_ = QImage();
    QWidget::resizeEvent(event);
}

const QImage& GlowGraphView::glow(double dpr) {
    if (glow_.isNull() || glow_.devicePixelRatio() != dpr) {
        glow_ = glowLayer(LineShape{points_}.path(QRectF(rect())), size(), dpr, color_);
        ++glowRenders_;
    }
    return glow_;
}

void GlowGraphView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    if (points_.size() < 2) {
        painter.setPen(QPen(ViewPalette::withOpacity(color_, placeholderOpacity), 1));
        painter.drawLine(midLine(area));
        return;
    }
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, ViewPalette::withOpacity(color_, fillTopOpacity));
    fill.setColorAt(1, ViewPalette::withOpacity(color_, 0));
    painter.fillPath(FillShape{points_}.path(area), fill);

    painter.drawImage(area.topLeft(), glow(painter.device()->devicePixelRatioF()));

    painter.setPen(QPen(color_, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(LineShape{points_}.path(area));
}
