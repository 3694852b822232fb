#include "exporter/ConnectionDeadline.h"
#include "exporter/ExpositionCache.h"
#include "exporter/MetricsEndpoint.h"
#include "support/EventLoop.h"
#include "support/FakeClock.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(ConnectionDeadline, RequestsMustBeWholeInTimeAndIdleConnectionsEnd) {
    enum class Event { bytes, answer };
    const struct {
        const char* what;
        std::vector<std::pair<std::chrono::seconds, Event>> events;
        std::chrono::seconds deadline;
    } cases[] = {
        {"silent from the start", {}, 10s},
        {"a trickle does not push the request's deadline back",
         {{1s, Event::bytes}, {5s, Event::bytes}, {9s, Event::bytes}},
         10s},
        {"an answer starts the idle time", {{2s, Event::bytes}, {3s, Event::answer}}, 63s},
        {"the next request's first byte starts its own time",
         {{3s, Event::answer}, {50s, Event::bytes}, {55s, Event::bytes}},
         60s},
        {"every answer starts the idle time again",
         {{3s, Event::answer}, {40s, Event::bytes}, {41s, Event::answer}},
         101s},
    };
    const Clock::SteadyTime start{};
    for (const auto& c : cases) {
        ConnectionDeadline deadline({}, start);
        for (const auto& [at, event] : c.events) {
            if (event == Event::bytes) {
                deadline.requestBytesArrived(start + at);
            } else {
                deadline.answered(start + at);
            }
        }
        EXPECT_FALSE(deadline.expiredAt(start + c.deadline - 1ms)) << c.what;
        EXPECT_TRUE(deadline.expiredAt(start + c.deadline)) << c.what;
    }
}

MetricsSnapshot pollNumber(int polls) {
    MetricsSnapshot snapshot;
    snapshot.session.pollCount = polls;
    return snapshot;
}

// The endpoint on a free loopback port, on virtual time, with clients that wait for answers.
class MetricsEndpointTest : public ::testing::Test {
protected:
    void start(ConnectionLimits limits = {}) {
        cache.setSnapshot(pollNumber(1));
        endpoint = std::make_unique<MetricsEndpoint>(cache, clock, limits);
        const ListenResult listened = endpoint->listen(QHostAddress::LocalHost, 0);
        ASSERT_TRUE(listened.ok()) << listened.error.toStdString();
        port = listened.port;
        endpoint->startAccepting();
    }

    QTcpSocket& connectClient() {
        clients.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket& client = *clients.back();
        const int before = endpoint->openConnections();
        client.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(runEventsUntil([&] {
            return client.state() == QAbstractSocket::ConnectedState &&
                   endpoint->openConnections() > before;
        }));
        return client;
    }

    // Whether `answer` holds its whole head and the body its Content-Length names.
    static bool bodyArrived(const QByteArray& answer) {
        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        const qsizetype lengthAt = answer.indexOf("Content-Length: ");
        const qsizetype length =
            answer.mid(lengthAt + 16, answer.indexOf('\r', lengthAt) - lengthAt - 16).toLongLong();
        return headEnd >= 0 && answer.size() >= headEnd + 4 + length;
    }

    // Sends `request` and returns the whole answer's head and body.
    static QByteArray exchange(QTcpSocket& client, const QByteArray& request) {
        client.write(request);
        QByteArray answer;
        const bool whole = runEventsUntil([&] {
            answer += client.readAll();
            if (!answer.contains("\r\n\r\n")) {
                return client.state() != QAbstractSocket::ConnectedState;
            }
            return bodyArrived(answer);
        });
        EXPECT_TRUE(whole);
        return answer;
    }

    static bool closedByServer(QTcpSocket& client) {
        return runEventsUntil([&] { return client.state() == QAbstractSocket::UnconnectedState; });
    }

    // The count drops when a closed connection's socket is deleted, which the program's event
    // loop does on its own; a test's loop of processEvents does not.
    bool connectionsBecome(int count) {
        return runEventsUntil([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return endpoint->openConnections() == count;
        });
    }

    const QByteArray scrape = QByteArrayLiteral("GET /metrics HTTP/1.1\r\nHost: test\r\n\r\n");
    FakeClock clock;
    ExpositionCache cache;
    std::unique_ptr<MetricsEndpoint> endpoint;
    quint16 port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
};

TEST_F(MetricsEndpointTest, ASilentConnectionEndsWhenItsRequestIsLate) {
    start();
    QTcpSocket& silent = connectClient();
    QTcpSocket& slow = connectClient();
    clock.advance(9s);
    slow.write("GET /metrics HTTP/1.1\r\n");  // a part: its time still runs out at 10 s
    clock.advance(999ms);
    EXPECT_TRUE(exchange(silent, scrape).startsWith("HTTP/1.1 200"));
    clock.advance(1ms);
    EXPECT_TRUE(closedByServer(slow));
    EXPECT_EQ(silent.state(), QAbstractSocket::ConnectedState);
}

TEST_F(MetricsEndpointTest, AnIdleConnectionEndsAMinuteAfterItsLastAnswer) {
    start();
    QTcpSocket& client = connectClient();
    EXPECT_TRUE(exchange(client, scrape).startsWith("HTTP/1.1 200"));
    clock.advance(59s);
    EXPECT_TRUE(exchange(client, scrape).startsWith("HTTP/1.1 200"));
    clock.advance(59s);
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);
    clock.advance(1s);
    EXPECT_TRUE(closedByServer(client));
    EXPECT_TRUE(connectionsBecome(0));
}

TEST_F(MetricsEndpointTest, ConnectionsBeyondTheMostAreClosedAtOnce) {
    ConnectionLimits limits;
    limits.mostConnections = 3;
    start(limits);
    QTcpSocket& first = connectClient();
    connectClient();
    connectClient();
    QTcpSocket extra;
    extra.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(closedByServer(extra));
    EXPECT_EQ(endpoint->openConnections(), 3);
    first.abort();
    EXPECT_TRUE(connectionsBecome(2));
    EXPECT_TRUE(exchange(connectClient(), scrape).startsWith("HTTP/1.1 200"));
}

TEST_F(MetricsEndpointTest, ARequestBeyondTheReadBufferEndsItsConnection) {
    ConnectionLimits limits;
    limits.largestRequestBytes = 4096;
    start(limits);
    QTcpSocket& greedy = connectClient();
    greedy.write("GET /" + QByteArray(1 << 20, 'a') + " HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(closedByServer(greedy));
    EXPECT_TRUE(exchange(connectClient(), scrape).startsWith("HTTP/1.1 200"));
}

TEST_F(MetricsEndpointTest, EachPollIsRenderedOncePerFormat) {
    start();
    QTcpSocket& client = connectClient();
    const QByteArray openMetrics = QByteArrayLiteral(
        "GET /metrics HTTP/1.1\r\nAccept: application/openmetrics-text;version=1.0.0\r\n\r\n");
    for (int scrapes = 0; scrapes < 3; ++scrapes) {
        exchange(client, scrape);
        exchange(client, openMetrics);
    }
    EXPECT_EQ(cache.renderingsMade(), 2);
    cache.setSnapshot(pollNumber(2));
    EXPECT_TRUE(exchange(client, scrape).contains("vantrel_polls_total 2\n"));
    EXPECT_EQ(cache.renderingsMade(), 3);
}

TEST_F(MetricsEndpointTest, AnswersByPathAndMethod) {
    start();
    const struct {
        const char* request;
        const char* statusLine;
        const char* header;  // a header line the answer carries
        bool body;
    } cases[] = {
        {"GET /metrics", "HTTP/1.1 200 OK", "Content-Type: text/plain; version=0.0.4", true},
        {"HEAD /metrics", "HTTP/1.1 200 OK", "Content-Type: text/plain; version=0.0.4", false},
        {"POST /metrics", "HTTP/1.1 405 Method Not Allowed", "Allow: GET, HEAD", false},
        {"DELETE /metrics", "HTTP/1.1 405 Method Not Allowed", "Allow: GET, HEAD", false},
        {"GET /", "HTTP/1.1 404 Not Found", "Content-Length: 0", false},
        {"GET /metrics/x", "HTTP/1.1 404 Not Found", "Content-Length: 0", false},
        {"POST /other", "HTTP/1.1 404 Not Found", "Content-Length: 0", false},
    };
    for (const auto& c : cases) {
        QTcpSocket& client = connectClient();
        client.write(QByteArray(c.request) + " HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
        QByteArray answer;
        // HEAD's Content-Length names the body a GET would get, which never comes.
        ASSERT_TRUE(runEventsUntil([&] {
            answer += client.readAll();
            return answer.contains("\r\n\r\n") && (!c.body || bodyArrived(answer));
        })) << c.request;
        EXPECT_EQ(answer.contains("\nvantrel_polls_total 1\n"), c.body) << c.request;
        EXPECT_TRUE(answer.startsWith(c.statusLine)) << c.request << answer.toStdString();
        EXPECT_TRUE(answer.contains(QByteArray("\r\n") + c.header)) << c.request;
        EXPECT_EQ(answer.endsWith("\r\n\r\n"), !c.body) << c.request;
    }
}

}  // namespace
