#include "views/kit/ValueRow.h"

#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double gap = 8;           // between the label and the value
constexpr double symbolGap = 5;     // between the symbol and the label
constexpr int hintWidth = 80;       // what the row asks for, whatever its text
constexpr double valueShare = 0.6;  // the most the value takes while a label is there

}  // namespace

ValueRow::ValueRow(const QString& label, QWidget* parent)
    : QWidget(parent),
      label_(label),
      valueColor_(ViewPalette::primaryText()),
      labelColor_(ViewPalette::secondaryText()),
      labelFont_(ViewFonts::shared().caption),
      valueFont_(ViewFonts::monospacedDigits(ViewFonts::shared().caption)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    textChanged();
}

void ValueRow::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    textChanged();
}

void ValueRow::setValue(const QString& value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    textChanged();
}

void ValueRow::setSymbol(const QString& symbolName) {
    if (symbolName == symbol_.name()) {
        return;
    }
    symbol_.set(symbolName, symbolPixelSize());
    update();
}

void ValueRow::setValueColor(const QColor& color) {
    if (color == valueColor_) {
        return;
    }
    valueColor_ = color;
    update();
}

void ValueRow::setLabelColor(const QColor& color) {
    if (color == labelColor_) {
        return;
    }
    labelColor_ = color;
    update();
}

void ValueRow::setSymbolColor(const QColor& color) {
    if (symbolColor_ == color) {
        return;
    }
    symbolColor_ = color;
    update();
}

void ValueRow::setLabelFont(const QFont& font) {
    if (font == labelFont_) {
        return;
    }
    labelFont_ = font;
    symbol_.set(symbol_.name(), symbolPixelSize());
    updateGeometry();
    update();
}

void ValueRow::setValueFont(const QFont& font) {
    if (font == valueFont_) {
        return;
    }
    valueFont_ = font;
    updateGeometry();
    update();
}

int ValueRow::symbolPixelSize() const {
    return std::max(1, static_cast<int>(std::lround(QFontMetricsF(labelFont_).height())));
}

void ValueRow::textChanged() {
    setAccessibleName(label_.isEmpty()   ? value_
                      : value_.isEmpty() ? label_
                                         : label_ + QLatin1Char(' ') + value_);
    update();
}

QSize ValueRow::sizeHint() const {
    const double height =
        std::max(QFontMetricsF(labelFont_).height(), QFontMetricsF(valueFont_).height());
    return {hintWidth, static_cast<int>(std::ceil(height))};
}

QSize ValueRow::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void ValueRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    double left = area.left();
    if (!symbol_.isEmpty()) {
        const double side = area.height();
        symbol_.paint(painter, QRectF(left, area.top(), side, side),
                      symbolColor_.value_or(labelColor_));
        left += side + symbolGap;
    }

    const QFontMetricsF valueMetrics(valueFont_);
    const double room = std::max(0.0, area.right() - left);
    const double valueRoom = label_.isEmpty() ? room : room * valueShare;
    const QString value = valueMetrics.elidedText(value_, Qt::ElideRight, valueRoom);
    const double valueWidth = std::ceil(valueMetrics.horizontalAdvance(value));
    painter.setFont(valueFont_);
    painter.setPen(valueColor_);
    painter.drawText(QRectF(area.right() - valueWidth, area.top(), valueWidth, area.height()),
                     Qt::AlignRight | Qt::AlignVCenter, value);

    const double labelRoom = std::max(0.0, room - valueWidth - (value.isEmpty() ? 0 : gap));
    const QFontMetricsF labelMetrics(labelFont_);
    painter.setFont(labelFont_);
    painter.setPen(labelColor_);
    painter.drawText(QRectF(left, area.top(), labelRoom, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     labelMetrics.elidedText(label_, Qt::ElideRight, labelRoom));
}
