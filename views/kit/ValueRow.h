#pragma once

#include "views/kit/SymbolLabel.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <optional>

// One row of a section or card: an optional symbol and a label on the left, a value on the
// right. Text that does not fit is elided ("…"), the label first; the row's size hint does not
// grow with its text, so a long process or GPU name never widens the panel. Screen readers
// hear "label value" ("Total 16.0 GB").
class ValueRow : public QWidget {
    Q_OBJECT
public:
    explicit ValueRow(const QString& label = {}, QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setLabel(const QString& label);
    void setValue(const QString& value);
    void setSymbol(const QString& symbolName);  // drawn before the label; none by default
    void setValueColor(const QColor& color);    // default: the primary text colour
    void setLabelColor(const QColor& color);    // default: the secondary text colour
    void setSymbolColor(const QColor& color);   // default: the label colour
    void setLabelFont(const QFont& font);       // default: caption
    void setValueFont(const QFont& font);       // default: caption with monospaced digits

    QString label() const { return label_; }
    QString value() const { return value_; }
    QColor valueColor() const { return valueColor_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void textChanged();
    int symbolPixelSize() const;  // as tall as a line of the label

    QString label_;
    QString value_;
    QColor valueColor_;
    QColor labelColor_;
    std::optional<QColor> symbolColor_;
    QFont labelFont_;
    QFont valueFont_;
    SymbolGlyph symbol_;
};
