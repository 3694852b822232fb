#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of its own for one test: a dbus-daemon with no activatable services, which
// ends with this object, or with the test process should it die first.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon could not be started; `failure()` then says why.
    QString address() const { return address_; }
    QString failure() const { return failure_; }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString failure_;
};
