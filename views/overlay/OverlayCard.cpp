#include "views/overlay/OverlayCard.h"

#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QLabel>
#include <QSizePolicy>
#include <QVBoxLayout>

OverlayCard::OverlayCard(const QString& symbolName, const QString& title, QWidget* parent)
    : Card(symbolName, title, parent) {
    // Columns of the grid share the width evenly, whatever each card's content asks for.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void OverlayCard::setAccent(const QColor& accent) {
    if (accent == accent_) {
        return;
    }
    accent_ = accent;
    setBorderColor(accent);
    accentChanged();
}

ValueRow* OverlayCard::addRow(const QString& label) {
    auto* row = new ValueRow(label);
    body()->addWidget(row);
    return row;
}

QLabel* OverlayCard::addNote(const QString& text) {
    auto* note = new QLabel(text);
    note->setFont(ViewFonts::shared().caption);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, ViewPalette::secondaryText());
    note->setPalette(palette);
    note->setAccessibleName(text);
    body()->addWidget(note);
    return note;
}

void OverlayCard::showReading(ValueRow& row, const std::optional<double>& value,
                              QString (*format)(double)) {
    if (value) {
        row.setValue(format(*value));
    }
    row.setVisible(value.has_value());
}

void OverlayCard::showText(ValueRow& row, const QString& text) {
    if (!text.isEmpty()) {
        row.setValue(text);
    }
    row.setVisible(!text.isEmpty());
}
