#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <chrono>

// Whether a StatusNotifierItem host is there now: the watcher exists and says a host is
// registered with it. Waits at most a second for the answer.
bool statusNotifierHostPresent(QDBusConnection bus);

// Follows the tray host appearing and going away while the program runs. A host that
// restarts drops its watcher for a moment: the host counts as gone only when no host is back
// within the grace time, so the item is not swapped for a stand-in face and back meanwhile.
class StatusNotifierWatcherTracker : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds restartGrace{5000};

    explicit StatusNotifierWatcherTracker(QDBusConnection bus,
                                          std::chrono::milliseconds grace = restartGrace,
                                          QObject* parent = nullptr);

    bool hostPresent() const { return present_; }
    // A watcher left while a host was there, and the grace time for its return runs.
    bool awaitingHost() const { return grace_.isActive(); }

signals:
    void hostPresentChanged(bool present);

private slots:
    void refresh();

private:
    void setPresent(bool present);
    void watcherLeft();

    QTimer grace_;  // runs while a watcher that left may still come back
    QDBusConnection bus_;
    bool present_ = false;
    quint64 asked_ = 0;  // answers to older questions are dropped
};
