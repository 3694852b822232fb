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

void OutsidePressCatcher::cover() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->virtualGeometry());
    }
    show();
}

void OutsidePressCatcher::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        emit pressed(event->globalPosition().toPoint());
    }
}
