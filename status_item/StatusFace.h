#pragma once
#include <QGuiApplication>
#include <QObject>
#include <QPoint>
#include <optional>
#include "status_item/TrayHostKind.h"
#include "status_item/picture/StatusPicture.h"
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
    // The height in logical px at which this face wants the wide image drawn; 0 for the
    // strip's own.
    virtual double wideImageHeight() const { return 0; }
    // The keys held at the click being reported. A face that hears of a click without them
    // (a tray host's call) can only read the keyboard as it is now, which under load may
    // already be after the user let go.
    virtual Qt::KeyboardModifiers clickModifiers() const {
        return QGuiApplication::queryKeyboardModifiers();
    }
signals:
    void activated(QPoint globalPos);           // primary (left click)
    void secondaryActivated(QPoint globalPos);  // middle / secondary: the dashboard
    void menuRequested(QPoint globalPos);       // right click / context
    // The face cannot be seen (its tray host refused it): the shell shows another one.
    void refused();
    // wideImageHeight() changed: the picture must be drawn again.
    void wideImageHeightChanged();
    // The host read the face after it registered (true), or has not read it within a few
    // seconds (false): the shell shows the strip meanwhile.
    void seenChanged(bool seen);
};
