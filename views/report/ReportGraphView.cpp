#include "views/report/ReportGraphView.h"

#include <QPainter>
#include <QPainterPath>

#include <utility>

ReportGraphView::ReportGraphView(QVector<double> values, QColor color, double maxValue,
                                 QWidget* parent)
    : QWidget(parent), values_(std::move(values)), color_(color), maxValue_(maxValue) {}

QPointF ReportGraphView::pointAt(int index, QSizeF size) const {
    const double count = static_cast<double>(values_.size());
    // A zero maximum would divide by zero; such a graph lies on the bottom edge.
    const double fraction = maxValue_ > 0 ? values_[index] / maxValue_ : 0;
    return {index * size.width() / (count - 1), size.height() - fraction * size.height()};
}

void ReportGraphView::paintEvent(QPaintEvent*) {
    if (values_.size() < 2) {
        return;
    }
    const QSizeF size = this->size();
    QPainterPath line(pointAt(0, size));
    for (int i = 1; i < values_.size(); ++i) {
        line.lineTo(pointAt(i, size));
    }
    QPainterPath area = line;
    area.lineTo(size.width(), size.height());
    area.lineTo(0, size.height());
    area.closeSubpath();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = color_;
    fill.setAlphaF(0.2f * color_.alphaF());
    painter.fillPath(area, fill);
    painter.strokePath(line, QPen(color_, 1.5));
}
