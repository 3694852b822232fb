#pragma once

#include "core/Clock.h"
#include "exporter/ConnectionLimits.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QString>

class ExpositionCache;
class MetricsListener;

// Where the endpoint listens, or why it cannot.
struct ListenResult {
    quint16 port = 0;  // the port bound, the system's choice when 0 was asked for
    QString error;     // the system's reason, empty when listening
    bool ok() const { return error.isEmpty(); }
};

// The exporter's HTTP endpoint: GET and HEAD /metrics answer the latest poll's exposition in
// the format the scraper's Accept asks for; other methods there get 405, other paths 404.
// Everything runs on the thread's event loop and never waits on a client.
class MetricsEndpoint final : public QAbstractHttpServer {
    Q_OBJECT

public:
    MetricsEndpoint(ExpositionCache& exposition, Clock& clock, ConnectionLimits limits = {},
                    QObject* parent = nullptr);

    // Listens on `address`:`port` with accepting paused (connections wait in the system's
    // queue), so that no scrape comes before the first poll.
    ListenResult listen(const QHostAddress& address, quint16 port);
    void startAccepting();

    int openConnections() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    ExpositionCache& exposition_;
    Clock& clock_;
    ConnectionLimits limits_;
    MetricsListener* listener_ = nullptr;
};

// "127.0.0.1:9105" or "[::1]:9105", as the endpoint's address is written in messages and URLs.
QString endpointText(const QHostAddress& address, quint16 port);
