#include "providers/PublicAddressFetcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(PublicAddressParsing, AcceptsOnlyAPlainAddress) {
    struct Row {
        QByteArray body;
        std::optional<QString> expected;
    };
    const Row rows[] = {
        {" \t198.51.100.4 \r\n", QStringLiteral("198.51.100.4")},
        {"2001:DB8:0:0::1", QStringLiteral("2001:db8::1")},
        {"<html>203.0.113.7</html>", std::nullopt},
        {"\n", std::nullopt},
        {"10.1", std::nullopt},
        {"256.1.1.1", std::nullopt},
        {"203.0.113.7 203.0.113.8", std::nullopt},
        {"203.0.113.7\nX-Trailer: 1", std::nullopt},
        {"fe80::1%eth0", std::nullopt},
        {"２０３.0.113.7", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parsePublicAddress(row.body), row.expected) << row.body.toHex().toStdString();
    }
}

// A one-shot HTTP server on the loopback interface that answers every request with `response`.
class CannedHttpServer {
public:
    explicit CannedHttpServer(QByteArray response) : response_(std::move(response)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (socket->readAll().contains("\r\n\r\n")) {
                    socket->write(response_);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()));
    }
    bool listening() const { return server_.isListening(); }
    void close() { server_.close(); }

private:
    QTcpServer server_;
    QByteArray response_;
};

QByteArray httpResponse(const QByteArray& status, const QByteArray& body) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

struct FetchOutcome {
    int calls = 0;
    std::optional<QString> address;
};

// Runs the event loop until the fetch completes; the guard only ends a hung test.
FetchOutcome fetchFrom(const QUrl& url) {
    HttpPublicAddressFetcher fetcher(url);
    FetchOutcome outcome;
    QEventLoop loop;
    fetcher.start([&](std::optional<QString> address) {
        ++outcome.calls;
        outcome.address = std::move(address);
        loop.quit();
    });
    QTimer::singleShot(20'000, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();  // a second completion would arrive here
    return outcome;
}

TEST(HttpPublicAddressFetcher, CompletesOnceWithTheAnswerOrNothing) {
    struct Row {
        const char* name;
        QByteArray response;
        std::optional<QString> expected;
    };
    const Row rows[] = {
        {"address", httpResponse("200 OK", "203.0.113.9\n"), QStringLiteral("203.0.113.9")},
        {"portal page", httpResponse("200 OK", QByteArray(2000, 'x').prepend("<html>")),
         std::nullopt},
        {"error status", httpResponse("503 Service Unavailable", "203.0.113.9"), std::nullopt},
        {"not HTTP", "SSH-2.0-OpenSSH_9.2\r\n", std::nullopt},
        {"refused connection", {}, std::nullopt},
    };
    for (const Row& row : rows) {
        CannedHttpServer server(row.response);
        ASSERT_TRUE(server.listening());
        const QUrl url = server.url();
        if (row.response.isEmpty()) {
            server.close();
        }
        const FetchOutcome outcome = fetchFrom(url);
        EXPECT_EQ(outcome.calls, 1) << row.name;
        EXPECT_EQ(outcome.address, row.expected) << row.name;
    }
}

TEST(HttpPublicAddressFetcher, DestroyedInFlightNeverCallsBack) {
    CannedHttpServer server(httpResponse("200 OK", "203.0.113.9"));
    int calls = 0;
    {
        HttpPublicAddressFetcher fetcher(server.url());
        fetcher.start([&](std::optional<QString>) { ++calls; });
    }
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

}  // namespace
