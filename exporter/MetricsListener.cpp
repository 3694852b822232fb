#include "exporter/MetricsListener.h"

#include "exporter/ConnectionWatch.h"

#include <QTcpSocket>

#include <unistd.h>

MetricsListener::MetricsListener(Clock& clock, ConnectionLimits limits, QObject* parent)
    : QTcpServer(parent), clock_(clock), limits_(limits) {}

void MetricsListener::answered(QTcpSocket& socket) {
    if (auto* watch = socket.findChild<ConnectionWatch*>(QString(), Qt::FindDirectChildrenOnly)) {
        watch->answered();
    }
}

void MetricsListener::incomingConnection(qintptr descriptor) {
    if (*openConnections_ >= limits_.mostConnections) {
        ::close(static_cast<int>(descriptor));
        return;
    }
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    socket->setReadBufferSize(limits_.largestRequestBytes);
    ++*openConnections_;
    new ConnectionWatch(*socket, clock_, limits_, [count = openConnections_] { --*count; });
    addPendingConnection(socket);
}
