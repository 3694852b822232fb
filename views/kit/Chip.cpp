#include "views/kit/Chip.h"

#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double padding = 10;
constexpr double symbolGap = 5;
constexpr double labelGap = 6;
constexpr double cornerRadius = 8;
constexpr double verticalPadding = 6;

QFont labelFont() {
    return ViewFonts::shared().caption;
}

QFont valueFont() {
    QFont font = ViewFonts::monospacedDigits(ViewFonts::shared().subheadline);
    font.setWeight(QFont::DemiBold);
    return font;
}

int symbolSize() {
    return static_cast<int>(std::lround(QFontMetricsF(valueFont()).height()));
}

}  // namespace

Chip::Chip(const QString& symbolName, const QString& label, QWidget* parent)
    : QWidget(parent),
      label_(label),
      symbolColor_(ViewPalette::secondaryText()),
      valueColor_(ViewPalette::primaryText()) {
    symbol_.set(symbolName, symbolSize());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    textChanged();
}

void Chip::setSymbol(const QString& symbolName) {
    if (symbolName == symbol_.name()) {
        return;
    }
    symbol_.set(symbolName, symbolSize());
    update();
}

void Chip::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    textChanged();
}

void Chip::setValue(const QString& value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    textChanged();
}

void Chip::setSymbolColor(const QColor& color) {
    if (color == symbolColor_) {
        return;
    }
    symbolColor_ = color;
    update();
}

void Chip::setValueColor(const QColor& color) {
    if (color == valueColor_) {
        return;
    }
    valueColor_ = color;
    update();
}

void Chip::textChanged() {
    setAccessibleName(value_.isEmpty() || label_.isEmpty() ? label_ + value_
                                                           : label_ + QLatin1Char(' ') + value_);
    updateGeometry();
    update();
}

double Chip::valueWidth() const {
    const QFontMetricsF metrics(valueFont());
    return std::max(metrics.horizontalAdvance(QStringLiteral("100%")),
                    metrics.horizontalAdvance(value_));
}

QSize Chip::sizeHint() const {
    const double labelWidth = QFontMetricsF(labelFont()).horizontalAdvance(label_);
    const double width =
        padding + symbolSize() + symbolGap + labelWidth + labelGap + valueWidth() + padding;
    const double height =
        std::max(QFontMetricsF(valueFont()).height(), QFontMetricsF(labelFont()).height()) +
        2 * verticalPadding;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void Chip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(ViewPalette::cardBackground());
    painter.drawRoundedRect(area, cornerRadius, cornerRadius);

    double x = area.left() + padding;
    const double side = symbolSize();
    symbol_.paint(painter, QRectF(x, area.center().y() - side / 2, side, side), symbolColor_);
    x += side + symbolGap;

    const double labelWidth = QFontMetricsF(labelFont()).horizontalAdvance(label_);
    painter.setFont(labelFont());
    painter.setPen(ViewPalette::secondaryText());
    painter.drawText(QRectF(x, area.top(), labelWidth + 1, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, label_);
    x += labelWidth + labelGap;

    painter.setFont(valueFont());
    painter.setPen(valueColor_);
    painter.drawText(QRectF(x, area.top(), area.right() - padding - x, area.height()),
                     Qt::AlignRight | Qt::AlignVCenter, value_);
}
