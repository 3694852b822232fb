#include "status_item/sni/DBusMenuExporter.h"

#include "status_item/sni/DBusMenuAdaptor.h"
#include "status_item/sni/DBusMenuEntry.h"

#include <QAction>
#include <QDBusError>
#include <QMenu>

namespace {

constexpr int rootId = 0;

QVariantMap selected(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty()) {
        return properties;
    }
    QVariantMap chosen;
    for (const QString& name : names) {
        if (auto found = properties.constFind(name); found != properties.cend()) {
            chosen.insert(name, *found);
        }
    }
    return chosen;
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QDBusConnection bus, QString objectPath, MenuFactory factory,
                                   QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      objectPath_(std::move(objectPath)),
      factory_(std::move(factory)),
      adaptor_(new DBusMenuAdaptor(this)) {
    registerStatusDBusTypes();
    rebuild();
    exported_ = bus_.registerObject(objectPath_, this, QDBusConnection::ExportAdaptors);
    if (!exported_) {
        qWarning("status menu: cannot export %s on the bus", qPrintable(objectPath_));
    }
}

DBusMenuExporter::~DBusMenuExporter() {
    if (exported_) {
        bus_.unregisterObject(objectPath_);
    }
}

bool DBusMenuExporter::rebuild() {
    QHash<int, Entry> previous = std::exchange(entries_, {});
    // The previous menu lives until the event loop turns (or the next rebuild), so that a
    // click queued on one of its entries still runs.
    previousMenu_.retire(menu_.release());
    menu_ = factory_ ? factory_() : nullptr;
    Entry root;
    root.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    entries_.insert(rootId, root);
    if (menu_) {
        addEntries(*menu_, rootId);
    }
    bool changed = previous.size() != entries_.size();
    for (auto it = entries_.cbegin(); !changed && it != entries_.cend(); ++it) {
        const auto old = previous.constFind(it.key());
        changed = old == previous.cend() || old->parent != it->parent ||
                  old->children != it->children || old->properties != it->properties;
    }
    if (changed || revision_ == 0) {
        ++revision_;
    }
    return changed;
}

void DBusMenuExporter::addEntries(const QMenu& menu, int parentId) {
    for (QAction* action : menu.actions()) {
        const int id = int(entries_.size());
        Entry entry;
        entry.action = action;
        entry.parent = parentId;
        entry.properties = dbusMenuProperties(*action, shortcutsShown_);
        entries_.insert(id, entry);
        entries_[parentId].children.append(id);
        if (QMenu* submenu = action->menu()) {
            addEntries(*submenu, id);
        }
    }
}

DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, int depth, const QStringList& names) const {
    const Entry& entry = *entries_.constFind(id);
    DBusMenuLayoutItem item{id, selected(entry.properties, names), {}};
    if (depth != 0) {
        for (int child : entry.children) {
            item.children.append(layoutOf(child, depth - 1, names));
        }
    }
    return item;
}

void DBusMenuExporter::replyInvalid(const QString& message) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::InvalidArgs, message);
    }
}

uint DBusMenuExporter::layout(int parentId, int depth, const QStringList& names,
                              DBusMenuLayoutItem& out) {
    if (parentId == rootId) {
        rebuild();
    }
    if (!entries_.contains(parentId)) {
        replyInvalid(QStringLiteral("no menu entry %1").arg(parentId));
        return revision_;
    }
    out = layoutOf(parentId, depth < 0 ? -1 : depth, names);
    return revision_;
}

DBusMenuItemPropertiesList DBusMenuExporter::groupProperties(const QList<int>& ids,
                                                             const QStringList& names) {
    DBusMenuItemPropertiesList list;
    for (int id : ids) {
        if (auto entry = entries_.constFind(id); entry != entries_.cend()) {
            list.append({id, selected(entry->properties, names)});
        }
    }
    return list;
}

QDBusVariant DBusMenuExporter::entryProperty(int id, const QString& name) {
    const auto entry = entries_.constFind(id);
    if (entry == entries_.cend() || !entry->properties.contains(name)) {
        replyInvalid(QStringLiteral("menu entry %1 has no property %2").arg(id).arg(name));
        return QDBusVariant(QString());
    }
    return QDBusVariant(entry->properties.value(name));
}

void DBusMenuExporter::handleEvent(int id, const QString& eventId) {
    const auto entry = entries_.constFind(id);
    if (entry == entries_.cend()) {
        replyInvalid(QStringLiteral("no menu entry %1").arg(id));
        return;
    }
    QAction* action = entry->action;
    if (eventId != QLatin1StringView("clicked") || !action || action->isSeparator() ||
        action->menu() || !action->isEnabled()) {
        return;
    }
    // Run after the reply has gone: the action may open a window or end the program.
    QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
}

QList<int> DBusMenuExporter::eventGroup(const DBusMenuEventList& events) {
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (entries_.contains(event.id)) {
            handleEvent(event.id, event.eventId);
        } else {
            idErrors.append(event.id);
        }
    }
    if (!events.isEmpty() && idErrors.size() == events.size()) {
        replyInvalid(QStringLiteral("none of the menu entries exist"));
    }
    return idErrors;
}

bool DBusMenuExporter::aboutToShow(int id) {
    if (id != rootId) {
        if (!entries_.contains(id)) {
            replyInvalid(QStringLiteral("no menu entry %1").arg(id));
        }
        return false;
    }
    const bool changed = rebuild();
    if (changed) {
        emit adaptor_->LayoutUpdated(revision_, rootId);
    }
    return changed;
}

QList<int> DBusMenuExporter::aboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    QList<int> updatesNeeded;
    for (int id : ids) {
        if (!entries_.contains(id)) {
            idErrors.append(id);
        } else if (id == rootId && rebuild()) {
            updatesNeeded.append(id);
        }
    }
    if (!updatesNeeded.isEmpty()) {
        emit adaptor_->LayoutUpdated(revision_, rootId);
    }
    return updatesNeeded;
}
