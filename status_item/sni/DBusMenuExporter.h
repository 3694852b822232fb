#pragma once

#include "status_item/MenuFactory.h"
#include "status_item/RetiredWidget.h"
#include "status_item/sni/SniTypes.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <memory>

class DBusMenuAdaptor;
class QAction;

// Exports the status item's menu over com.canonical.dbusmenu, for hosts that draw the menu
// themselves. The menu is built afresh from the factory whenever a host asks for it; entries
// are numbered by position, so the same menu keeps the same numbers.
class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    DBusMenuExporter(QDBusConnection bus, QString objectPath, MenuFactory factory,
                     QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    QString objectPath() const { return objectPath_; }
    bool isExported() const { return exported_; }
    // Whether entries carry their shortcuts, from the next time the menu is built.
    void setShortcutsShown(bool shown) { shortcutsShown_ = shown; }

private:
    friend class DBusMenuAdaptor;

    struct Entry {
        QPointer<QAction> action;  // null for the root
        int parent = -1;
        QList<int> children;
        QVariantMap properties;
    };

    uint layout(int parentId, int depth, const QStringList& names, DBusMenuLayoutItem& out);
    DBusMenuItemPropertiesList groupProperties(const QList<int>& ids, const QStringList& names);
    QDBusVariant entryProperty(int id, const QString& name);
    void handleEvent(int id, const QString& eventId);
    QList<int> eventGroup(const DBusMenuEventList& events);
    bool aboutToShow(int id);
    QList<int> aboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

    // Builds a new menu; true when its entries differ from the previous menu's.
    bool rebuild();
    void addEntries(const QMenu& menu, int parentId);
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names) const;
    void replyInvalid(const QString& message);

    QDBusConnection bus_;
    QString objectPath_;
    MenuFactory factory_;
    DBusMenuAdaptor* adaptor_;
    bool exported_ = false;
    std::unique_ptr<QMenu> menu_;
    RetiredWidget previousMenu_;
    QHash<int, Entry> entries_;
    uint revision_ = 0;
    bool shortcutsShown_ = true;
};
