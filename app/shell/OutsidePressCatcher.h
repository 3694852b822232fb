#pragma once

#include <QPointer>
#include <QWidget>

// A clear window over the whole desktop, just under the compact panel, for an X server that
// hears no press outside its own windows (XWayland: presses on the compositor's bar, its
// desktop and native Wayland windows never reach it). A left or right press on it is a press
// outside the program's windows; it takes that press, as an open menu does. Other buttons and
// the wheel do nothing.
class OutsidePressCatcher final : public QWidget {
    Q_OBJECT
public:
    OutsidePressCatcher();

    // Shows it over every screen, below the windows shown after it, until `window` is hidden
    // or destroyed, however that comes about.
    void coverWhileShown(QWidget& window);

signals:
    void pressed(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> covered_;
};
