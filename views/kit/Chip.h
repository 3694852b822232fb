#pragma once

#include "views/kit/SymbolLabel.h"

#include <QColor>
#include <QString>
#include <QWidget>

// A summary chip: a symbol, a label and a value on a rounded background ("cpu" CPU 42%). Its
// width holds at least "100%" in the value's place, so chips do not jump as percents change.
// Screen readers hear "label value" ("CPU 42%").
class Chip : public QWidget {
    Q_OBJECT
public:
    explicit Chip(const QString& symbolName = {}, const QString& label = {},
                  QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setSymbol(const QString& symbolName);
    void setLabel(const QString& label);
    void setValue(const QString& value);
    void setSymbolColor(const QColor& color);  // default: the secondary text colour
    void setValueColor(const QColor& color);   // default: the primary text colour

    QString label() const { return label_; }
    QString value() const { return value_; }
    QColor valueColor() const { return valueColor_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void textChanged();
    double valueWidth() const;

    SymbolGlyph symbol_;
    QString label_;
    QString value_;
    QColor symbolColor_;
    QColor valueColor_;
};
