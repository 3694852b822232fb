#pragma once

#include <QWidget>

// The compact panel's frame until its content exists: a floating, frameless tool window of the
// panel's size, out of the taskbar, that says when it loses activation.
class CompactPanelPlaceholder final : public QWidget {
    Q_OBJECT
public:
    explicit CompactPanelPlaceholder(QWidget* parent = nullptr);

signals:
    void deactivated();

protected:
    void changeEvent(QEvent* event) override;
};
