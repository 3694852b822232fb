#pragma once

#include "core/Clock.h"
#include "exporter/ConnectionDeadline.h"

#include <QObject>

#include <functional>

class QTcpSocket;

// Closes one scraper's connection at its deadline (ConnectionDeadline). A child of the socket:
// it goes with it, and then tells its listener through `onGone`.
class ConnectionWatch final : public QObject {
    Q_OBJECT

public:
    ConnectionWatch(QTcpSocket& socket, Clock& clock, ConnectionTimeLimits limits,
                    std::function<void()> onGone);
    ~ConnectionWatch() override;

    // An answer went out: the connection may now sit idle for the idle limit.
    void answered();

private:
    void scheduleCheck();
    void check();
    void close();

    QTcpSocket& socket_;
    Clock& clock_;
    ConnectionDeadline deadline_;
    std::function<void()> onGone_;
    bool checkPending_ = false;
};
