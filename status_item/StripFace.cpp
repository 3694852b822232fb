#include "status_item/StripFace.h"

#include "core/AppSettings.h"
#include "status_item/FloatingWindowKind.h"
#include "status_item/PanelPlacement.h"
#include "status_item/X11WindowState.h"
#include "status_item/picture/StatusItemRenderer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleHints>

namespace {

constexpr int screenMargin = 8;

QVector<QRect> screenAreas() {
    QVector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

}  // namespace

StripWindow::StripWindow(QWidget* parent)
    : QWidget(parent,
              floatingWindowFlags(FloatingWindowKind::strip, xServerUnderWaylandCompositor())) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Only a compositing manager shows what lies under transparent pixels; the window's
    // visual is chosen when it is made.
    seeThrough_ = compositingManagerRuns();
    setAttribute(Qt::WA_TranslucentBackground, seeThrough_);
    setWindowTitle(QStringLiteral("Vantrel"));
    setAccessibleName(QStringLiteral("Vantrel status"));
    setAccessibleDescription(
        QStringLiteral("Click for the compact view, middle-click or Alt+click for the "
                       "dashboard, right-click for the menu"));
}

void StripWindow::setPicture(const QImage& wide) {
    picture_ = wide;
    const QSize logical = (QSizeF(wide.size()) / wide.devicePixelRatio()).toSize();
    if (size() != logical) {
        setFixedSize(logical);
    }
    update();
}

void StripWindow::setBackdrop(const QColor& backdrop) {
    if (backdrop_ != backdrop) {
        backdrop_ = backdrop;
        update();
    }
}

void StripWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), seeThrough_ ? QColor(Qt::transparent) : backdrop_);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), picture_);
}

void StripWindow::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    dragging_ = false;
    pressGlobal_ = event->globalPosition().toPoint();
    pressTopLeft_ = pos();
}

void StripWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    if (!dragging_ && delta.manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
    }
    if (dragging_) {
        move(pressTopLeft_ + delta);
    }
}

void StripWindow::mouseReleaseEvent(QMouseEvent* event) {
    const bool dragged = dragging_;
    pressed_ = false;
    dragging_ = false;
    if (dragged) {
        emit moved(pos());
    } else {
        emit clicked(event->button(), event->modifiers(), event->globalPosition().toPoint());
    }
}

StripFace::StripFace(AppSettings& settings, QObject* parent)
    : StatusFace(parent), settings_(settings), window_(new StripWindow) {
    connect(window_, &StripWindow::clicked, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos) {
                clickModifiers_ = modifiers;
                if (button == Qt::RightButton) {
                    emit menuRequested(pos);
                } else if (button == Qt::MiddleButton) {
                    emit secondaryActivated(pos);
                } else if (button == Qt::LeftButton) {
                    emit activated(pos);
                }
            });
    connect(window_, &StripWindow::moved, this, [this](QPoint topLeft) {
        const QPoint kept = clampOntoScreens(topLeft, window_->size(), screenAreas());
        window_->move(kept);
        settings_.setStatusStripPosition(kept);
    });
    // A screen unplugged or made smaller must not take the strip out of sight.
    const auto keepOnScreen = [this] {
        if (placed_) {
            placeOnScreen();
        }
    };
    const auto watchScreen = [this, keepOnScreen](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, keepOnScreen);
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }
    connect(qApp, &QGuiApplication::screenAdded, this, watchScreen);
    connect(qApp, &QGuiApplication::screenRemoved, this, keepOnScreen);
}

StripFace::~StripFace() {
    delete window_;
}

void StripFace::placeOnScreen() {
    const QVector<QRect> areas = screenAreas();
    QPoint topLeft;
    if (const auto kept = settings_.statusStripPosition()) {
        topLeft = *kept;
    } else if (!areas.isEmpty()) {
        // Top right of the primary screen, where a tray would be.
        const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
        topLeft = QPoint(primary.right() + 1 - screenMargin - window_->width(),
                         primary.top() + screenMargin);
    }
    window_->move(clampOntoScreens(topLeft, window_->size(), areas));
}

// Grown or shrunk from `before`, the strip keeps the edge nearer its screen's border and stays
// wholly on the screens.
void StripFace::keepNearerEdge(QRect before) {
    const QScreen* screen = QGuiApplication::screenAt(before.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen || before.size() == window_->size()) {
        return;
    }
    const QPoint topLeft = resizedTopLeft(before, window_->size(), screen->availableGeometry());
    window_->move(clampOntoScreens(topLeft, window_->size(), screenAreas()));
}

void StripFace::show(const StatusPicture& picture) {
    // Without a compositing manager the whole window shows: the pill's colour over the
    // desktop's window colour fills it, so no light box stands around the pill.
    const double pill = StatusItemRenderer::usablePillOpacity(settings_.statusItemPillOpacity());
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    window_->setBackdrop(QColor::fromRgbF(window.redF() * static_cast<float>(1 - pill),
                                          window.greenF() * static_cast<float>(1 - pill),
                                          window.blueF() * static_cast<float>(1 - pill)));
    const QRect before = window_->geometry();
    window_->setPicture(picture.wide);
    if (placed_) {
        keepNearerEdge(before);
    }
    window_->setToolTip(picture.toolTip);
    if (!placed_) {
        keepOutOfTaskbarAndPager(window_);
        placeOnScreen();
        placed_ = true;
    }
    if (!window_->isVisible()) {
        window_->show();
    }
}

std::optional<QPoint> StripFace::anchor() const {
    const QRect frame = window_->geometry();
    return QPoint(frame.center().x(), frame.bottom() + 1);
}

QRect StripFace::geometry() const {
    return window_->geometry();
}
