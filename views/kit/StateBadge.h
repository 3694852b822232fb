#pragma once

#include "core/SampleRecords.h"

#include <QColor>
#include <QString>
#include <QWidget>

// White caption text on a capsule of one colour: the thermal state ("Nominal" on green).
// Screen readers hear "label text" ("Thermal Pressure Nominal").
class StateBadge : public QWidget {
    Q_OBJECT
public:
    explicit StateBadge(QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setText(const QString& text);
    void setColor(const QColor& color);   // default: grey
    void setLabel(const QString& label);  // for the accessible name only

    QString text() const { return text_; }
    QColor color() const { return color_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    QString text_;
    QColor color_;
    QString label_;
};

// The thermal state on a badge: "Nominal" on green … "Critical" on red, "Unknown" on grey.
void showThermalState(StateBadge& badge, ThermalState state);
