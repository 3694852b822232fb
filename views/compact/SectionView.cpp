#include "views/compact/SectionView.h"

#include "views/graphs/MiniGraphView.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"

#include <QLabel>

#include <cmath>

QLabel* sectionCaption(const QString& text, const QColor& color, bool bold) {
    auto* label = new QLabel(text);
    QFont font = ViewFonts::shared().caption;
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAccessibleName(text);
    return label;
}

MiniGraphView* sectionGraph(const QString& name, int height) {
    auto* graph = new MiniGraphView;
    graph->setFixedHeight(height);
    graph->setLineWidth(1.5);
    graph->setAccessibleName(name);
    return graph;
}

ValueRow* sectionRow(const QString& label) {
    return new ValueRow(label);
}

void showSensorRow(ValueRow& row, const std::optional<double>& value, QString (*text)(double)) {
    // A reading that is not a number is no reading.
    const bool present = value && std::isfinite(*value);
    if (present) {
        row.setValue(text(*value));
    }
    row.setVisible(present);
}
