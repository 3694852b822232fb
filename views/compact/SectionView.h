#pragma once

#include "views/kit/Card.h"

#include <QColor>
#include <QString>

#include <optional>

class QLabel;
class MiniGraphView;
class ValueRow;

// One section of the compact panel: a card that takes the monitor's latest records and
// histories when told to. The pieces it holds repaint only what changed.
class SectionView : public Card {
    Q_OBJECT
public:
    using Card::Card;
    // Reads the monitor (and the settings) and passes every value to its piece.
    virtual void refresh() = 0;
};

// A caption text in one colour, for headings and lines of a section.
QLabel* sectionCaption(const QString& text, const QColor& color, bool bold = false);

// A line graph of a history `height` pixels high, named for screen readers.
MiniGraphView* sectionGraph(const QString& name, int height);

// A row of the section: caption label in the secondary colour, value at the right.
ValueRow* sectionRow(const QString& label);

// Shows `row` with the value's text while the sensor reported one, hides it otherwise.
void showSensorRow(ValueRow& row, const std::optional<double>& value, QString (*text)(double));
