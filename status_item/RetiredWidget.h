#pragma once

#include <QPointer>
#include <QWidget>

// Holds a closed panel, dashboard or menu until it is destroyed. A closed widget is destroyed
// when the event loop gets round to it, since it may be closing from one of its own event
// handlers; but a tray host that sends clicks faster than the program answers them keeps the
// loop from getting round to it, and every closed window would wait in memory until the
// clicks stop. So the widget retired before is destroyed at the latest when the next one is
// retired: closed widgets never pile up.
class RetiredWidget {
public:
    RetiredWidget() = default;
    ~RetiredWidget();
    RetiredWidget(const RetiredWidget&) = delete;
    RetiredWidget& operator=(const RetiredWidget&) = delete;

    // `widget` has been hidden and its own handlers may still be running: it goes when the
    // event loop turns, or when the next widget is retired. The one retired before goes now.
    void retire(QWidget* widget);

private:
    QPointer<QWidget> widget_;
};
