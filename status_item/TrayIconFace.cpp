#include "status_item/TrayIconFace.h"

#include <QCursor>
#include <QPixmap>
#include <QToolTip>

TrayIconFace::TrayIconFace(QObject* parent) : StatusFace(parent) {
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const QPoint pos = QCursor::pos();
                switch (reason) {
                    // The toolkit reports the second click of a quick pair as a double
                    // click only: it is a click all the same, and toggles back.
                    case QSystemTrayIcon::Trigger:
                    case QSystemTrayIcon::DoubleClick:
                        emit activated(pos);
                        return;
                    case QSystemTrayIcon::MiddleClick:
                        emit secondaryActivated(pos);
                        return;
                    case QSystemTrayIcon::Context:
                        emit menuRequested(pos);
                        return;
                    case QSystemTrayIcon::Unknown:
                        return;
                }
            });
}

void TrayIconFace::show(const StatusPicture& picture) {
    icon_.setIcon(QIcon(QPixmap::fromImage(picture.glance)));
    if (icon_.toolTip() != picture.toolTip) {
        const QString before = icon_.toolTip();
        icon_.setToolTip(picture.toolTip);
        // The tray shows the tooltip it was given when the pointer came to rest; while the
        // pointer stays, the figures in it would stand still.
        if (QToolTip::isVisible() && QToolTip::text() == before) {
            QToolTip::showText(QCursor::pos(), picture.toolTip);
        }
    }
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
