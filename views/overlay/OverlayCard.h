#pragma once

#include "views/kit/Card.h"

#include <QColor>
#include <QString>

#include <optional>

class QLabel;
class SystemMonitor;
class ValueRow;

// One card of the dashboard's grid: a kit card outlined in the accent colour (at opacity 0.2)
// whose body a subclass fills. refresh() takes the monitor's latest records once per poll; the
// pieces repaint only what changed.
class OverlayCard : public Card {
    Q_OBJECT
public:
    OverlayCard(const QString& symbolName, const QString& title, QWidget* parent = nullptr);

    virtual void refresh(const SystemMonitor& monitor) = 0;
    // The accent colour of the border and of the card's accent-coloured graphs and bars.
    void setAccent(const QColor& accent);
    QColor accent() const { return accent_; }

protected:
    virtual void accentChanged() {}

    // A row of label and value added to the body.
    ValueRow* addRow(const QString& label);
    // A caption in the secondary colour added to the body ("No data", "No battery").
    QLabel* addNote(const QString& text);

    // Shows `row` with `format(value)` when the reading is present, hides it otherwise.
    static void showReading(ValueRow& row, const std::optional<double>& value,
                            QString (*format)(double));
    // Shows `row` with `text` when it is not empty, hides it otherwise.
    static void showText(ValueRow& row, const QString& text);

private:
    QColor accent_;
};
