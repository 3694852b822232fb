#include "views/kit/MetricBlock.h"
#include "views/kit/TextColor.h"

#include "core/TextFormat.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

void MetricBlock::setReading(double value, QString (*format)(double)) {
    setValue(readingText(value, format));
}

ValueRow* MetricBlock::addRow(const QString& label, QBoxLayout* column) {
    auto* row = new ValueRow(label);
    (column != nullptr ? column : body())->addWidget(row);
    return row;
}

QLabel* MetricBlock::addNote(const QString& text) {
    QLabel* note = captionLabel(text, ViewPalette::secondaryText());
    body()->addWidget(note);
    return note;
}

QString readingText(double value, QString (*format)(double)) {
    return std::isfinite(value) ? format(value) : noValueText();
}

void showReading(ValueRow& row, const std::optional<double>& value, QString (*format)(double)) {
    if (value) {
        row.setValue(readingText(*value, format));
    }
    row.setVisible(value.has_value());
}

void showText(ValueRow& row, const QString& text) {
    if (!text.isEmpty()) {
        row.setValue(text);
    }
    row.setVisible(!text.isEmpty());
}

void showRows(QVector<ValueRow*>& rows, qsizetype count, const std::function<ValueRow*()>& make,
              const std::function<void(ValueRow&, qsizetype)>& fill) {
    while (rows.size() < count) {
        rows.append(make());
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i < count) {
            fill(*rows[i], i);
        }
        rows[i]->setVisible(i < count);
    }
}

QLabel* captionLabel(const QString& text, const QColor& color, bool bold) {
    QFont font = ViewFonts::shared().caption;
    font.setBold(bold);
    QLabel* label = coloredLabel(text, font, color);
    label->setAccessibleName(text);
    return label;
}

QString diskSizeText(std::int64_t bytes) {
    return formatBytes(static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0)));
}
