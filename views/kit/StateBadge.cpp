#include "views/kit/StateBadge.h"

#include "core/TextFormat.h"
#include "views/kit/StateColors.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 2;

}  // namespace

StateBadge::StateBadge(QWidget* parent) : QWidget(parent), color_(ViewPalette::grey()) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateAccessibleName();
}

void StateBadge::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    updateAccessibleName();
    updateGeometry();
    update();
}

void StateBadge::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void StateBadge::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    updateAccessibleName();
}

void StateBadge::updateAccessibleName() {
    setAccessibleName(label_.isEmpty() ? text_ : label_ + QLatin1Char(' ') + text_);
}

QSize StateBadge::sizeHint() const {
    const QFontMetrics metrics(ViewFonts::shared().caption);
    return {metrics.horizontalAdvance(text_) + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

void StateBadge::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    const double radius = area.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawRoundedRect(area, radius, radius);
    painter.setPen(Qt::white);
    painter.setFont(ViewFonts::shared().caption);
    painter.drawText(area, Qt::AlignCenter, text_);
}

void showThermalState(StateBadge& badge, ThermalState state) {
    badge.setText(thermalStateText(state));
    badge.setColor(thermalStateColor(state));
}
