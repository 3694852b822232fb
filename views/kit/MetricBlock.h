#pragma once

#include "views/kit/Card.h"

#include <QColor>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <optional>

class QBoxLayout;
class QLabel;
class ValueRow;

// A block of one metric family: a compact panel's section or a dashboard card. Every reading
// it shows goes through readingText, so a reading that is not a number shows the
// missing-value text, never "nan", "inf" or a figure it is not.
class MetricBlock : public Card {
    Q_OBJECT
public:
    using Card::Card;

    // The title row's value: `format(value)`, or the missing-value text.
    void setReading(double value, QString (*format)(double));

protected:
    // A row of label and value added to `column`, the body unless given.
    ValueRow* addRow(const QString& label = {}, QBoxLayout* column = nullptr);
    // A caption in the secondary colour added to the body ("No data", "No battery").
    QLabel* addNote(const QString& text);
};

// `format(value)`, or the missing-value text when the value is NaN or infinite.
QString readingText(double value, QString (*format)(double));

// Shows `row` with readingText of the sensor's value while the sensor reported one; a sensor
// that is not there hides its row.
void showReading(ValueRow& row, const std::optional<double>& value, QString (*format)(double));

// Shows `row` with `text` when it is not empty, hides it otherwise.
void showText(ValueRow& row, const QString& text);

// Shows the first `count` of `rows`, each filled by `fill(row, index)`, and hides the rest;
// while there are fewer, `make` adds one where it belongs.
void showRows(QVector<ValueRow*>& rows, qsizetype count, const std::function<ValueRow*()>& make,
              const std::function<void(ValueRow&, qsizetype)>& fill);

// A caption text in one colour, named for screen readers: headings and notes of a block.
QLabel* captionLabel(const QString& text, const QColor& color, bool bold = false);

// A disk size, which the record holds signed: a negative one is a reader's fault and shows 0.
QString diskSizeText(std::int64_t bytes);
