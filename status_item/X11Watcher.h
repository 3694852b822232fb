#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

// A connection to the X server of the program's own, apart from the toolkit's: it hears
// every mouse button press on the desktop through XInput 2 raw events (no grab, so other
// programs keep their clicks), whether an XEmbed system tray owns its selection, and when the
// window manager makes another window the active one.
class X11Watcher : public QObject {
    Q_OBJECT
public:
    // Connects to `display` (empty: $DISPLAY); `isOpen()` says whether that worked.
    explicit X11Watcher(const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11Watcher() override;

    bool isOpen() const { return connection_ != nullptr; }
    // Starts hearing events; needs the application object. The connection may be opened
    // before it, to find out whether there is a display at all.
    void startListening();
    bool rawPressesAvailable() const { return rawPresses_; }
    bool xembedTrayPresent() const { return trayOwner_ != 0; }

signals:
    // A button went down somewhere (`button` as the X server numbers it: 1 left, 2 middle,
    // 3 right, 4 to 7 the wheel's turns); the pointer's position in X screen pixels.
    void buttonPressed(QPoint rootPos, int button);
    void xembedTrayChanged();
    // The window manager made another window the active one.
    void activeWindowChanged();

private:
    void readEvents();
    void selectRawPresses();
    void refreshTrayOwner();

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t trayAtom_ = 0;
    std::uint32_t managerAtom_ = 0;
    std::uint32_t activeWindowAtom_ = 0;
    std::uint32_t trayOwner_ = 0;
    std::uint8_t xinputOpcode_ = 0;
    bool rawPresses_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};
