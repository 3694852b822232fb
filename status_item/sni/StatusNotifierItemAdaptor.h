#pragma once

#include "status_item/sni/SniTypes.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

class StatusNotifierItem;

// What the item shows on the bus right now.
struct SniProperties {
    QString iconName;
    SniIconPixmapList iconPixmap;
    SniToolTip toolTip;
    QString label;
    QString labelGuide;
    QDBusObjectPath menu;
};

// The org.kde.StatusNotifierItem interface, with the Ayatana label, on the bus.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ none)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(SniIconPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ none)
    Q_PROPERTY(SniIconPixmapList OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ none)
    Q_PROPERTY(SniIconPixmapList AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ none)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    // Read by GNOME Shell's extension on every new icon; a screen reader's text for the picture.
    Q_PROPERTY(QString IconAccessibleDesc READ iconDescription)
public:
    StatusNotifierItemAdaptor(StatusNotifierItem* item, const SniProperties& properties);

    // The properties every host reads (one at a time or all at once) tell the item it was seen.
    QString category() const { return hostRead(QStringLiteral("ApplicationStatus")); }
    QString id() const { return hostRead(QStringLiteral("vantrel")); }
    QString title() const { return hostRead(QStringLiteral("Vantrel")); }
    QString status() const { return hostRead(QStringLiteral("Active")); }
    int windowId() const { return 0; }
    QString none() const { return {}; }
    SniIconPixmapList noPixmap() const { return {}; }
    QDBusObjectPath menu() const { return properties_.menu; }
    bool itemIsMenu() const { return false; }
    QString iconName() const { return properties_.iconName; }
    SniIconPixmapList iconPixmap() const { return properties_.iconPixmap; }
    SniToolTip toolTip() const { return properties_.toolTip; }
    QString label() const { return properties_.label; }
    QString labelGuide() const { return properties_.labelGuide; }
    QString iconDescription() const { return properties_.toolTip.description; }

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    QString hostRead(QString value) const;

    StatusNotifierItem* item_;
    const SniProperties& properties_;
};
