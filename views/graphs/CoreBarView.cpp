#include "views/graphs/CoreBarView.h"

#include "core/TextFormat.h"
#include "views/graphs/GraphGeometry.h"
#include "views/kit/ViewPalette.h"

#include <QPainter>

namespace {

constexpr double cornerRadius = 2;
constexpr double trackOpacity = 0.2;

}  // namespace

CoreBarView::CoreBarView(QWidget* parent) : QWidget(parent), color_(ViewPalette::blue()) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateAccessibleName();
}

void CoreBarView::setValue(double fraction) {
    if (fraction == value_) {
        return;
    }
    value_ = fraction;
    updateAccessibleName();
    update();
}

void CoreBarView::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void CoreBarView::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    updateAccessibleName();
}

void CoreBarView::updateAccessibleName() {
    const QString percent = percentText(barFillRect(value_, QRectF(0, 0, 1, 1)).width());
    setAccessibleName(label_.isEmpty() ? percent : label_ + QLatin1Char(' ') + percent);
}

QSize CoreBarView::sizeHint() const {
    return {60, 6};
}

QSize CoreBarView::minimumSizeHint() const {
    return {10, 4};
}

void CoreBarView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF area(rect());
    painter.setBrush(ViewPalette::withOpacity(ViewPalette::secondaryText(), trackOpacity));
    painter.drawRoundedRect(area, cornerRadius, cornerRadius);
    const QRectF fill = barFillRect(value_, area);
    if (fill.width() > 0) {
        painter.setBrush(color_);
        painter.drawRoundedRect(fill, cornerRadius, cornerRadius);
    }
}
