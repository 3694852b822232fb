#pragma once

#include <QDBusConnection>
#include <QObject>

// Whether a StatusNotifierItem host is there now: the watcher exists and says a host is
// registered with it. Waits at most a second for the answer.
bool statusNotifierHostPresent(QDBusConnection bus);

// Follows the tray host appearing and going away while the program runs.
class StatusNotifierWatcherTracker : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierWatcherTracker(QDBusConnection bus, QObject* parent = nullptr);

    bool hostPresent() const { return present_; }

signals:
    void hostPresentChanged(bool present);

private slots:
    void refresh();

private:
    void setPresent(bool present);

    QDBusConnection bus_;
    bool present_ = false;
    quint64 asked_ = 0;  // answers to older questions are dropped
};
