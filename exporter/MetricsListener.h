#pragma once

#include "core/Clock.h"
#include "exporter/ConnectionLimits.h"

#include <QTcpServer>

#include <memory>

class QTcpSocket;

// The metrics endpoint's listening socket: every accepted connection gets its read buffer
// bound and a ConnectionWatch; beyond the most connections at once, a new one is closed.
class MetricsListener final : public QTcpServer {
    Q_OBJECT

public:
    MetricsListener(Clock& clock, ConnectionLimits limits, QObject* parent = nullptr);

    int openConnections() const { return *openConnections_; }
    // An answer went out on `socket`, one of this listener's connections.
    static void answered(QTcpSocket& socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Clock& clock_;
    ConnectionLimits limits_;
    // Shared with the connections' watches, which may go after the listener.
    std::shared_ptr<int> openConnections_ = std::make_shared<int>(0);
};
