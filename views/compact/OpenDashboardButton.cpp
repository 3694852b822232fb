#include "views/compact/OpenDashboardButton.h"

#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double padding = 10;
constexpr double gap = 8;
constexpr double cornerRadius = 8;
constexpr int pressedAlpha = 30;
constexpr int hoverAlpha = 22;

int lineHeight() {
    return static_cast<int>(std::ceil(QFontMetricsF(ViewFonts::shared().subheadline).height()));
}

}  // namespace

OpenDashboardButton::OpenDashboardButton(QWidget* parent) : QAbstractButton(parent) {
    const QString text = QStringLiteral("Open Dashboard");
    setText(text);
    setAccessibleName(text);
    setFont(ViewFonts::shared().subheadline);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    leading_.set(QStringLiteral("rectangle.3.group"), lineHeight());
    chevron_.set(QStringLiteral("chevron.right"), lineHeight());
}

QSize OpenDashboardButton::sizeHint() const {
    return {120, lineHeight() + static_cast<int>(2 * padding)};
}

QSize OpenDashboardButton::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void OpenDashboardButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(ViewPalette::cardBackground());
    painter.drawRoundedRect(area, cornerRadius, cornerRadius);
    if (isDown() || underMouse()) {
        painter.setBrush(QColor(255, 255, 255, isDown() ? pressedAlpha : hoverAlpha));
        painter.drawRoundedRect(area, cornerRadius, cornerRadius);
    }
    if (hasFocus()) {
        painter.setPen(QPen(ViewPalette::withOpacity(ViewPalette::blue(), 0.8), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    }

    const double side = lineHeight();
    const double top = (area.height() - side) / 2;
    const QRectF leadingBox(padding, top, side, side);
    leading_.paint(painter, leadingBox, ViewPalette::primaryText());
    const QRectF chevronBox(area.right() - padding - side, top, side, side);
    chevron_.paint(painter, chevronBox, ViewPalette::secondaryText());

    const double textLeft = leadingBox.right() + gap;
    const QRectF textBox(textLeft, 0, std::max(0.0, chevronBox.left() - gap - textLeft),
                         area.height());
    painter.setFont(font());
    painter.setPen(ViewPalette::primaryText());
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font()).elidedText(text(), Qt::ElideRight, textBox.width()));
}
