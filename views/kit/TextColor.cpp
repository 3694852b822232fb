#include "views/kit/TextColor.h"

#include <QLabel>
#include <QPalette>

void setTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

QLabel* coloredLabel(const QString& text, const QFont& font, const QColor& color) {
    auto* label = new QLabel(text);
    label->setFont(font);
    setTextColor(*label, color);
    return label;
}
