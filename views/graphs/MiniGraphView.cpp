#include "views/graphs/MiniGraphView.h"

#include "views/kit/GraphGeometry.h"
#include "views/kit/ViewPalette.h"

#include <QPainter>
#include <QPen>

namespace {

constexpr double fillOpacity = 0.2;
constexpr double placeholderOpacity = 0.15;

}  // namespace

MiniGraphView::MiniGraphView(QWidget* parent) : QWidget(parent), color_(Qt::white) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void MiniGraphView::setValues(const QVector<double>& values) {
    if (values == values_) {
        return;
    }
    values_ = values;
    update();
}

void MiniGraphView::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void MiniGraphView::setShowFill(bool showFill) {
    if (showFill == showFill_) {
        return;
    }
    showFill_ = showFill;
    update();
}

void MiniGraphView::setLineWidth(double lineWidth) {
    if (lineWidth == lineWidth_) {
        return;
    }
    lineWidth_ = lineWidth;
    update();
}

QSize MiniGraphView::sizeHint() const {
    return {120, 30};
}

QSize MiniGraphView::minimumSizeHint() const {
    return {20, 8};
}

void MiniGraphView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    if (values_.size() < 2) {
        painter.setPen(QPen(ViewPalette::withOpacity(color_, placeholderOpacity), lineWidth_));
        painter.drawLine(midLine(area));
        return;
    }
    if (showFill_) {
        painter.fillPath(miniGraphFillPath(values_, area),
                         ViewPalette::withOpacity(color_, fillOpacity));
    }
    painter.setPen(QPen(color_, lineWidth_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(miniGraphLinePath(values_, area));
}
