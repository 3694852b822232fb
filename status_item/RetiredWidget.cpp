#include "status_item/RetiredWidget.h"

RetiredWidget::~RetiredWidget() {
    delete widget_;
}

void RetiredWidget::retire(QWidget* widget) {
    if (widget_ == widget) {
        return;
    }
    // The one retired before closed in an earlier call, whose handlers have all returned.
    delete widget_;
    widget_ = widget;
    if (widget) {
        widget->deleteLater();
    }
}
