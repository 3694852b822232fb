#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A ring filled clockwise from the top to a fraction 0…1, over a track of the same colour at
// opacity 0.15, with the percent inside and a caption underneath ("PRESS", "MEM"). The
// fraction is clamped for drawing; one that is not a number draws no arc and the missing-value
// text. Screen readers hear "caption percent" ("MEM 61%").
class RingGauge : public QWidget {
    Q_OBJECT
public:
    explicit RingGauge(const QString& caption = {}, QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setValue(double fraction);
    void setColor(const QColor& color);  // default: blue
    void setCaption(const QString& caption);
    void setDiameter(int diameter);   // default 36, across the ring
    void setLineWidth(double width);  // default 4

    double value() const { return value_; }
    QString caption() const { return caption_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    double value_ = 0;
    QColor color_;
    QString caption_;
    int diameter_ = 36;
    double lineWidth_ = 4;
};
