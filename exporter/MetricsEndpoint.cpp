#include "exporter/MetricsEndpoint.h"

#include "exporter/ExpositionCache.h"
#include "exporter/MetricsListener.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>

namespace {

const QByteArray kMetricsPath = QByteArrayLiteral("/metrics");

void answerEmpty(QHttpServerResponder& responder, QHttpServerResponder::StatusCode status,
                 QHttpServerResponder::HeaderList headers) {
    responder.writeStatusLine(status);
    responder.writeHeaders(headers);
    responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArrayLiteral("0"));
    responder.writeBody(QByteArray());
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(ExpositionCache& exposition, Clock& clock, ConnectionLimits limits,
                                 QObject* parent)
    : QAbstractHttpServer(parent), exposition_(exposition), clock_(clock), limits_(limits) {}

ListenResult MetricsEndpoint::listen(const QHostAddress& address, quint16 port) {
    auto* listener = new MetricsListener(clock_, limits_, this);
    if (!listener->listen(address, port)) {
        const QString reason = listener->errorString();
        delete listener;
        return {0, reason.isEmpty() ? QStringLiteral("the system refused") : reason};
    }
    listener->pauseAccepting();
    bind(listener);
    listener_ = listener;
    return {listener->serverPort(), {}};
}

void MetricsEndpoint::startAccepting() {
    if (listener_) {
        listener_->resumeAccepting();
    }
}

int MetricsEndpoint::openConnections() const {
    return listener_ ? listener_->openConnections() : 0;
}

bool MetricsEndpoint::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    MetricsListener::answered(*socket);
    QHttpServerResponder responder = makeResponder(request, socket);
    using Status = QHttpServerResponder::StatusCode;
    if (request.url().path(QUrl::FullyEncoded).toUtf8() != kMetricsPath) {
        answerEmpty(responder, Status::NotFound, {});
        return true;
    }
    const auto method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        answerEmpty(responder, Status::MethodNotAllowed,
                    {{QByteArrayLiteral("Allow"), QByteArrayLiteral("GET, HEAD")}});
        return true;
    }
    const ExpositionFormat format = expositionFormatFor(request.value(QByteArrayLiteral("Accept")));
    const QByteArray body = exposition_.rendering(format);
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader(QByteArrayLiteral("Content-Type"), expositionContentType(format));
    responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(body.size()));
    // HEAD gets the headers a GET would, without the body.
    responder.writeBody(method == QHttpServerRequest::Method::Head ? QByteArray() : body);
    return true;
}

void MetricsEndpoint::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    MetricsListener::answered(*socket);
    QHttpServerResponder responder = makeResponder(request, socket);
    answerEmpty(responder, QHttpServerResponder::StatusCode::NotFound, {});
}

QString endpointText(const QHostAddress& address, quint16 port) {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(port);
}
