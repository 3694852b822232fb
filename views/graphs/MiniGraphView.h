#pragma once

#include <QColor>
#include <QVector>
#include <QWidget>

// A compact line graph of fractions 0…1 (oldest first), used unchanged: 1 is the top edge, 0
// the bottom. Optionally filled beneath the line at opacity 0.2. Fewer than 2 values show a
// faint line across the middle. Name it with setAccessibleName ("Memory history").
class MiniGraphView : public QWidget {
    Q_OBJECT
public:
    explicit MiniGraphView(QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setValues(const QVector<double>& values);
    void setColor(const QColor& color);
    void setShowFill(bool showFill);      // default true
    void setLineWidth(double lineWidth);  // default 1.5

    const QVector<double>& values() const { return values_; }
    QColor color() const { return color_; }
    bool showFill() const { return showFill_; }
    double lineWidth() const { return lineWidth_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<double> values_;
    QColor color_;
    bool showFill_ = true;
    double lineWidth_ = 1.5;
};
