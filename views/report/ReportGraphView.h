#pragma once

#include <QColor>
#include <QVector>
#include <QWidget>

// A report series as an area graph: `maxValue` lies at the top edge, 0 at the bottom; the
// area under the line is filled with the colour at 0.2 opacity and the line drawn 1.5 wide.
// Fewer than two values draw nothing.
class ReportGraphView final : public QWidget {
    Q_OBJECT
public:
    ReportGraphView(QVector<double> values, QColor color, double maxValue,
                    QWidget* parent = nullptr);

    const QVector<double>& values() const { return values_; }
    double maxValue() const { return maxValue_; }

    // Where value `index` lies in a frame of `size`.
    QPointF pointAt(int index, QSizeF size) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<double> values_;
    QColor color_;
    double maxValue_;
};
