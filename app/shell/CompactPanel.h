#pragma once

#include <QWidget>

class AppSettings;
class CompactPanelView;
class QScreen;
class SystemMonitor;

// The compact panel's window: a floating, frameless tool window of 320 × 520 out of the
// taskbar around the panel's content. It says when it loses activation, and when its screen
// is unplugged it moves onto a screen that is still there.
class CompactPanel final : public QWidget {
    Q_OBJECT
public:
    CompactPanel(const SystemMonitor& monitor, const AppSettings& settings,
                 QWidget* parent = nullptr);

    CompactPanelView& content() const { return *content_; }

signals:
    void deactivated();

protected:
    void changeEvent(QEvent* event) override;

private:
    void keepOnScreens(const QScreen* leaving);

    CompactPanelView* content_;
};
