#pragma once

#include <QPoint>
#include <QWidget>

#include <optional>

class AppSettings;
class CompactPanelView;
class QScreen;
class SystemMonitor;

// The compact panel's window: a floating, frameless tool window of 320 × 520 out of the
// taskbar around the panel's content. A drag on its background (anywhere a control does not
// take the press) moves it; Escape asks for it to close. It says when it loses activation,
// and when its screen is unplugged it moves onto a screen that is still there.
class CompactPanel final : public QWidget {
    Q_OBJECT
public:
    CompactPanel(const SystemMonitor& monitor, const AppSettings& settings,
                 QWidget* parent = nullptr);

    CompactPanelView& content() const { return *content_; }

signals:
    void deactivated();
    void closeRequested();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void keepOnScreens(const QScreen* leaving);

    CompactPanelView* content_;
    std::optional<QPoint> dragFrom_;  // the press's global position, less the window's origin
};
