#include "views/overlay/OverlayWindow.h"

#include "views/kit/ViewPalette.h"
#include "views/overlay/OverlayView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSizeGrip>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

OverlayWindow::OverlayWindow(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                             const QString& supportUrl, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      view_(new OverlayView(monitor, settings, clock, supportUrl)),
      grip_(new QSizeGrip(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vantrel Dashboard"));
    setAccessibleName(QStringLiteral("Vantrel Dashboard"));
    ViewPalette::applyDarkLook(*this, ViewPalette::dashboardBackground());
    setMinimumSize(minimumWindowSize);
    resize(preferredSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // The dashboard opens with the focus on itself, not on its first accent dot.
    view_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(view_);
    grip_->setAccessibleName(QStringLiteral("Resize"));
    grip_->raise();

    // On the window, not on one of its children: Escape closes the dashboard wherever the
    // focus is inside it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &OverlayWindow::closeRequested);
    connect(view_, &OverlayView::helpRequested, this, &OverlayWindow::helpRequested);
    connect(view_, &OverlayView::settingsRequested, this, &OverlayWindow::settingsRequested);
    connect(view_, &OverlayView::quitRequested, this, &OverlayWindow::quitRequested);
    // A screen unplugged under the dashboard: it moves to the primary screen.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &OverlayWindow::keepOnAScreen,
            Qt::QueuedConnection);
}

bool OverlayWindow::onAScreen(const QRect& window, const QVector<QRect>& screens) {
    return std::any_of(screens.begin(), screens.end(),
                       [&window](const QRect& screen) { return screen.contains(window.center()); });
}

void OverlayWindow::keepOnAScreen() {
    QVector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr && !onAScreen(frameGeometry(), areas)) {
        setGeometry(placementIn(primary->availableGeometry()));
    }
}

QRect OverlayWindow::placementIn(const QRect& available) {
    const QSize size = preferredSize.boundedTo(available.size()).expandedTo(minimumWindowSize);
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(available.center());
    // A screen smaller than the minimum keeps the top-left corner (and the header) in view.
    placed.moveLeft(
        std::max(available.left(), std::min(placed.left(), available.right() + 1 - size.width())));
    placed.moveTop(
        std::max(available.top(), std::min(placed.top(), available.bottom() + 1 - size.height())));
    return placed;
}

void OverlayWindow::placeOnScreenAt(QPoint pointer) {
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    setGeometry(placementIn(screen->availableGeometry()));
}

void OverlayWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window where it can; elsewhere the window follows the
    // pointer itself.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void OverlayWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void OverlayWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void OverlayWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize grip = grip_->sizeHint();
    grip_->setGeometry(QRect(QPoint(width() - grip.width(), height() - grip.height()), grip));
}
