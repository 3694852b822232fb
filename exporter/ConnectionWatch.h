#pragma once

#include "core/Clock.h"
#include "exporter/ConnectionDeadline.h"
#include "exporter/ConnectionLimits.h"

#include <QObject>

#include <functional>

class QTcpSocket;

// Closes one scraper's connection at its deadline (ConnectionDeadline) or when its request
// grows beyond the largest a scraper sends. A child of the socket:
// it goes with it, and then tells its listener through `onGone`.
class ConnectionWatch final : public QObject {
    Q_OBJECT

public:
    ConnectionWatch(QTcpSocket& socket, Clock& clock, const ConnectionLimits& limits,
                    std::function<void()> onGone);
    ~ConnectionWatch() override;

    // An answer went out: the connection may now sit idle for the idle limit.
    void answered();

private:
    void bytesArrived();
    void scheduleCheck();
    void check();
    void close();

    QTcpSocket& socket_;
    Clock& clock_;
    ConnectionDeadline deadline_;
    qint64 largestRequestBytes_;
    // The bytes seen since the last answer, so that a request is bounded whether the HTTP
    // server leaves it in the socket until it is whole or takes it out in parts.
    qint64 requestBytes_ = 0;
    std::function<void()> onGone_;
    bool checkPending_ = false;
};
