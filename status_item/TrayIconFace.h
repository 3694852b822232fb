#pragma once

#include "status_item/StatusFace.h"

#include <QSystemTrayIcon>

// The status item on a tray that gives each program a small square: the toolkit's own tray
// icon showing the glance. Its clicks reach the shell as the face's signals.
class TrayIconFace final : public StatusFace {
    Q_OBJECT
public:
    explicit TrayIconFace(QObject* parent = nullptr);

    void show(const StatusPicture& picture) override;
    std::optional<QPoint> anchor() const override;
    // Where the icon sits on screen; empty until the tray has embedded it.
    QRect geometry() const { return icon_.geometry(); }

private:
    QSystemTrayIcon icon_;
};
