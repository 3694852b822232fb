#include "app/faces/TrayIconFace.h"

#include <QCursor>
#include <QPixmap>

TrayIconFace::TrayIconFace(QObject* parent) : StatusFace(parent) {
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const QPoint pos = QCursor::pos();
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit activated(pos);
                        return;
                    case QSystemTrayIcon::MiddleClick:
                        emit secondaryActivated(pos);
                        return;
                    case QSystemTrayIcon::Context:
                        emit menuRequested(pos);
                        return;
                    case QSystemTrayIcon::DoubleClick:
                    case QSystemTrayIcon::Unknown:
                        return;
                }
            });
}

void TrayIconFace::show(const StatusPicture& picture) {
    icon_.setIcon(QIcon(QPixmap::fromImage(picture.glance)));
    icon_.setToolTip(picture.toolTip);
    if (!icon_.isVisible()) {
        icon_.show();
    }
}

std::optional<QPoint> TrayIconFace::anchor() const {
    const QRect where = icon_.geometry();
    if (!where.isValid()) {
        return std::nullopt;
    }
    return QPoint(where.center().x(), where.bottom() + 1);
}
