#pragma once
#include <QObject>
#include <QPoint>
#include <optional>
#include "app/render/StatusPicture.h"
#include "app/status/TrayHostKind.h"
// One way of showing the status item: tray icon, StatusNotifierItem, or strip window.
class StatusFace : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void show(const StatusPicture& picture) = 0;
    // Where a panel should hang from (global coordinates, top-centre of the panel), if known.
    virtual std::optional<QPoint> anchor() const = 0;
    // The user's choice of image; faces that draw one shape only ignore it.
    virtual void setShapeChoice(TrayShapeChoice) {}
signals:
    void activated(QPoint globalPos);           // primary (left click)
    void secondaryActivated(QPoint globalPos);  // middle / secondary: the dashboard
    void menuRequested(QPoint globalPos);       // right click / context
    // The face cannot be seen (its tray host refused it): the shell shows another one.
    void refused();
};
