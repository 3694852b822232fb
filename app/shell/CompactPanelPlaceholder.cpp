#include "app/shell/CompactPanelPlaceholder.h"

#include "app/faces/X11WindowState.h"
#include "app/shell/PanelPlacement.h"

#include <QEvent>

CompactPanelPlaceholder::CompactPanelPlaceholder(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(compactPanelSize);
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Vantrel"));
    setAccessibleName(QStringLiteral("Compact panel"));
    keepOutOfTaskbarAndPager(this);
}

void CompactPanelPlaceholder::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        emit deactivated();
    }
}
