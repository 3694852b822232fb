#include "views/dashboard/DashboardCard.h"

#include <QSizePolicy>

DashboardCard::DashboardCard(const QString& symbolName, const QString& title, QWidget* parent)
    : MetricBlock(symbolName, title, parent) {
    // Columns of the grid share the width evenly, whatever each card's content asks for.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void DashboardCard::setAccent(const QColor& accent) {
    if (accent == accent_) {
        return;
    }
    accent_ = accent;
    setBorderColor(accent);
    accentChanged();
}
