#include "views/dashboard/DashboardWindow.h"

#include "views/dashboard/DashboardView.h"
#include "views/kit/ViewPalette.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSizeGrip>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

DashboardWindow::DashboardWindow(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                                 const QString& supportUrl, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      view_(new DashboardView(monitor, settings, clock, supportUrl)),
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
    connect(escape, &QShortcut::activated, this, &DashboardWindow::closeRequested);
    connect(view_, &DashboardView::helpRequested, this, &DashboardWindow::helpRequested);
    connect(view_, &DashboardView::settingsRequested, this, &DashboardWindow::settingsRequested);
    connect(view_, &DashboardView::quitRequested, this, &DashboardWindow::quitRequested);
    // A screen unplugged under the dashboard: it moves to the primary screen.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &DashboardWindow::keepOnAScreen,
            Qt::QueuedConnection);
}

bool DashboardWindow::onAScreen(const QRect& window, const QVector<QRect>& screens) {
    return std::any_of(screens.begin(), screens.end(),
                       [&window](const QRect& screen) { return screen.contains(window.center()); });
}

void DashboardWindow::keepOnAScreen() {
    QVector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr && !onAScreen(frameGeometry(), areas)) {
        setGeometry(placementIn(primary->availableGeometry()));
    }
}

QRect DashboardWindow::placementIn(const QRect& available) {
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

void DashboardWindow::placeOnScreenAt(QPoint pointer) {
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    setGeometry(placementIn(screen->availableGeometry()));
}

void DashboardWindow::mousePressEvent(QMouseEvent* event) {
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

void DashboardWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void DashboardWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void DashboardWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize grip = grip_->sizeHint();
    grip_->setGeometry(QRect(QPoint(width() - grip.width(), height() - grip.height()), grip));
}
