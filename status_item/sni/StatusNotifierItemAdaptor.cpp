#include "status_item/sni/StatusNotifierItemAdaptor.h"

#include "status_item/sni/StatusNotifierItem.h"

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item,
                                                     const SniProperties& properties)
    : QDBusAbstractAdaptor(item), item_(item), properties_(properties) {}

void StatusNotifierItemAdaptor::Activate(int x, int y) {
    item_->hostActivated(x, y);
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y) {
    item_->hostSecondaryActivated(x, y);
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y) {
    item_->hostRequestedMenu(x, y);
}

// Scrolling over the item has no meaning here.
void StatusNotifierItemAdaptor::Scroll(int, const QString&) {}

QString StatusNotifierItemAdaptor::hostRead(QString value) const {
    item_->hostReadProperties();
    return value;
}
