#include "providers/PublicAddressFetcher.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

std::optional<QString> parsePublicAddress(const QByteArray& body) {
    const QString text = QString::fromLatin1(body.trimmed());
    QHostAddress address;
    if (text.isEmpty() || text.contains(QLatin1Char('%')) || !address.setAddress(text)) {
        return std::nullopt;
    }
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        // Only the dotted quad itself: shorthand such as "10.1" is not an answer.
        return address.toString() == text ? std::optional<QString>(text) : std::nullopt;
    }
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        return address.toString();
    }
    return std::nullopt;
}

HttpPublicAddressFetcher::HttpPublicAddressFetcher(QUrl url, int transferTimeoutMs)
    : url_(std::move(url)), transferTimeoutMs_(transferTimeoutMs) {}

void HttpPublicAddressFetcher::start(Completion done) {
    QNetworkRequest request(url_);
    request.setTransferTimeout(transferTimeoutMs_);
    QNetworkReply* reply = manager_.get(request);

    // Shared by both handlers so exactly one of them completes the fetch.
    auto completion = std::make_shared<Completion>(std::move(done));
    auto finish = [reply, completion](std::optional<QString> address) {
        if (!*completion) {
            return;
        }
        const Completion callback = std::move(*completion);
        *completion = nullptr;
        reply->deleteLater();
        callback(std::move(address));
    };

    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, finish] {
        if (reply->bytesAvailable() > maximumBodyBytes) {
            finish(std::nullopt);
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, finish] {
        if (reply->error() != QNetworkReply::NoError ||
            reply->bytesAvailable() > maximumBodyBytes) {
            finish(std::nullopt);
            return;
        }
        finish(parsePublicAddress(reply->read(maximumBodyBytes)));
    });
    // The transfer timeout catches silence; this catches a server that trickles.
    QTimer::singleShot(transferTimeoutMs_, reply, [reply] { reply->abort(); });
}
