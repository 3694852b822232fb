#include "app/shell/OutsidePressCatcher.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

OutsidePressCatcher::OutsidePressCatcher()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Vantrel outside"));
}

void OutsidePressCatcher::coverWhileShown(QWidget& window) {
    if (covered_ != nullptr) {
        covered_->removeEventFilter(this);
    }
    covered_ = &window;
    window.installEventFilter(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->virtualGeometry());
    }
    show();
}

bool OutsidePressCatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == covered_ &&
        (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        covered_->removeEventFilter(this);
        covered_ = nullptr;
        hide();
    }
    return false;
}

void OutsidePressCatcher::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        emit pressed(event->globalPosition().toPoint());
    }
}
