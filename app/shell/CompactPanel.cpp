#include "app/shell/CompactPanel.h"

#include "status_item/FloatingWindowKind.h"
#include "status_item/PanelPlacement.h"
#include "status_item/X11WindowState.h"
#include "views/compact/CompactPanelView.h"
#include "views/kit/ViewPalette.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

CompactPanel::CompactPanel(const SystemMonitor& monitor, const AppSettings& settings,
                           QWidget* parent)
    : QWidget(parent, floatingWindowFlags(FloatingWindowKind::compactPanel,
                                          xServerUnderWaylandCompositor())),
      content_(new CompactPanelView(monitor, settings)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(compactPanelSize);
    ViewPalette::applyDarkLook(*this, ViewPalette::windowBackground());
    setWindowTitle(QStringLiteral("Vantrel"));
    setAccessibleName(QStringLiteral("Compact panel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content_);
    keepOutOfTaskbarAndPager(this);
    connect(qApp, &QGuiApplication::screenRemoved, this, &CompactPanel::keepOnScreens);
}

void CompactPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        emit deactivated();
    }
}

void CompactPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Presses that no control took reach the window: its background.
void CompactPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->globalPosition().toPoint() - pos();
    }
}

void CompactPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *dragFrom_);
    }
}

void CompactPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragFrom_) {
        dragFrom_.reset();
        keepOnScreens(nullptr);
    }
}

void CompactPanel::keepOnScreens(const QScreen* leaving) {
    QVector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != leaving) {
            areas.append(screen->availableGeometry());
        }
    }
    const QRect frame = frameGeometry();
    move(clampOntoScreens(frame.topLeft(), frame.size(), areas));
}
