#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A horizontal bar for one fraction 0…1 (a core's load): a grey rounded track over the full
// width and, from the left edge, a rounded fill of that fraction in `color`. The fraction is
// clamped to 0…1 for drawing. Screen readers hear the label and the percent ("P1 42%").
class CoreBarView : public QWidget {
    Q_OBJECT
public:
    explicit CoreBarView(QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setValue(double fraction);
    void setColor(const QColor& color);
    void setLabel(const QString& label);  // for the accessible name only

    double value() const { return value_; }
    QColor color() const { return color_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    double value_ = 0;
    QColor color_;
    QString label_;
};
