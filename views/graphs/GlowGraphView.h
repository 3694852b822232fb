#pragma once

#include <QColor>
#include <QImage>
#include <QVector>
#include <QWidget>

// A self-scaling area graph of a history (oldest first, any non-negative scale): a gradient
// fill, a soft glow and the line, filling the whole widget. The highest value touches the top
// edge; 0 lies at 94 % of the height. Fewer than 2 values show a faint line across the middle.
// The glow is blurred once per change of size, history or colour, never per paint. Name it
// for screen readers with setAccessibleName ("CPU history").
class GlowGraphView : public QWidget {
    Q_OBJECT
public:
    explicit GlowGraphView(QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setValues(const QVector<double>& values);
    void setColor(const QColor& color);

    const QVector<double>& values() const { return values_; }
    QColor color() const { return color_; }
    // How often the glow has been blurred, for checking that painting reuses it.
    int glowRenderCount() const { return glowRenders_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The glow for the current size at the pixel ratio of the device painted on.
    const QImage& glow(double devicePixelRatio);

    QVector<double> values_;
    QVector<double> points_;  // values_ normalised
    QColor color_;
    QImage glow_;  // null while stale
    int glowRenders_ = 0;
};
