#include "views/dashboard/AccentDot.h"

#include <QPainter>

namespace {

constexpr int side = 18;
constexpr double dotDiameter = 12;
constexpr double ringWidth = 1.5;

}  // namespace

AccentDot::AccentDot(const QString& name, const QColor& color, QWidget* parent)
    : QAbstractButton(parent), name_(name), color_(color) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QString spoken = name;
    if (!spoken.isEmpty()) {
        spoken[0] = spoken[0].toUpper();
    }
    setAccessibleName(spoken + QLatin1String(" accent"));
    setCheckable(false);
}

void AccentDot::setCurrent(bool current) {
    if (current == current_) {
        return;
    }
    current_ = current;
    setAccessibleDescription(current ? QStringLiteral("chosen") : QString());
    update();
}

QSize AccentDot::sizeHint() const {
    return {side, side};
}

void AccentDot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawEllipse(centre, dotDiameter / 2, dotDiameter / 2);
    if (current_ || hasFocus()) {
        QPen ring(current_ ? QColor(Qt::white) : QColor(255, 255, 255, 120), ringWidth);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        const double radius = dotDiameter / 2 + 2;
        painter.drawEllipse(centre, radius, radius);
    }
}
