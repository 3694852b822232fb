#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// Gives `widget`'s text `color`; the rest of its palette stays the window's.
void setTextColor(QWidget& widget, const QColor& color);

// A label showing `text` in `font` and `color`.
QLabel* coloredLabel(const QString& text, const QFont& font, const QColor& color);
