#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

#include <optional>

// A bar for a fraction 0…1 (battery level, disk usage, GPU memory, a core's load): a track in
// its colour and opacity over the full width, the fill from the left edge in its own colour and
// opacity. The fraction is clamped to 0…1 for drawing, and one that is not a number draws no
// fill. Screen readers hear "label percent" ("Battery 76%", "P1 42%"), or the missing-value
// text for a fraction that is not a number. Given segments, it draws them side by side from
// the left edge in place of the single fill (the memory's wired, compressed and cached parts).
class LevelBar : public QWidget {
    Q_OBJECT
public:
    explicit LevelBar(QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setValue(double fraction);
    void setFillColor(const QColor& color);   // default: green
    void setFillOpacity(double opacity);      // default 1
    void setTrackColor(const QColor& color);  // default: the secondary text colour
    void setTrackOpacity(double opacity);     // default 0.2
    void setBarHeight(int height);            // default 6
    void setCornerRadius(double radius);      // default: half the bar height, round ends
    void setLabel(const QString& label);      // for the accessible name only

    struct Segment {
        double fraction = 0;
        QColor color;
        bool operator==(const Segment&) const = default;
    };
    void setSegments(const QVector<Segment>& segments);  // none by default

    double value() const { return value_; }
    QColor fillColor() const { return fillColor_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    double value_ = 0;
    QColor fillColor_;
    double fillOpacity_ = 1;
    QColor trackColor_;
    double trackOpacity_ = 0.2;
    int barHeight_ = 6;
    std::optional<double> cornerRadius_;
    QString label_;
    QVector<Segment> segments_;
};
