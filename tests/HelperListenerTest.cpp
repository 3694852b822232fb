#include "helper/HelperListener.h"
#include "shared/HelperReplies.h"
#include "shared/SensorChannelList.h"
#include "support/RawFrame.h"
#include "support/SocketTestKit.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using socket_test::connectedPair;
using socket_test::drain;
using socket_test::writeAll;
using Bytes = std::vector<std::uint8_t>;

const SensorReading kReading{41.5, 38.0, -1.0, 33.0,   -1.0, -1.0, -1.0, 9.5,
                             4.0,  21.0, -1.0, 1800.0, -1.0, 1,    {}};

// Admits or refuses every peer, and notes how many bytes were waiting unread when asked.
class ScriptedPolicy final : public PeerPolicy {
public:
    explicit ScriptedPolicy(bool admit) : admit_(admit) {}
    bool admits(int socketFd, const PeerCredentials&) const override {
        int waiting = 0;
        ::ioctl(socketFd, FIONREAD, &waiting);
        unreadAtCheck.push_back(waiting);
        return admit_;
    }
    mutable std::vector<int> unreadAtCheck;

private:
    bool admit_;
};

class HelperListenerTest : public ::testing::Test {
protected:
    ~HelperListenerTest() override {
        for (const int fd : clients_) {
            ::close(fd);
        }
    }

    std::unique_ptr<HelperListener> makeListener(const PeerPolicy& policy, ListenerLimits limits,
                                                 int listenFd = -1) {
        return std::make_unique<HelperListener>(
            listenFd, policy,
            [this] {
                ++collections_;
                return reading_;
            },
            limits, [this] { return now_; });
    }

    // The client end of a new connection that `listener` has taken over.
    int connectClient(HelperListener& listener) {
        const auto [client, server] = connectedPair();
        clients_.push_back(client);
        listener.adopt(server);
        return client;
    }

    // Lets the listener handle whatever is waiting, without waiting for anything more.
    static void serve(HelperListener& listener, int rounds = 1) {
        for (int i = 0; i < rounds; ++i) {
            ASSERT_TRUE(listener.step(0ms));
        }
    }

    SensorReading reading_ = kReading;
    ScriptedPolicy admitAll_{true};
    std::chrono::steady_clock::time_point now_{};
    int collections_ = 0;
    std::vector<int> clients_;
};

TEST_F(HelperListenerTest, AnswersBothRequestsInTurnOnOneConnection) {
    auto listener = makeListener(admitAll_, {});
    const int client = connectClient(*listener);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(writeAll(client, wire::encodeRequest(wire::Request::fetchSensors)));
        serve(*listener);
        const auto reply = drain(client);
        EXPECT_FALSE(reply.closed);
        EXPECT_EQ(wire::decodeSensorReply(reply.bytes), kReading);

        ASSERT_TRUE(writeAll(client, wire::encodeRequest(wire::Request::helperVersion)));
        serve(*listener);
        EXPECT_EQ(wire::decodeVersionReply(drain(client).bytes), "2");
    }
    EXPECT_EQ(collections_, 3);
    EXPECT_EQ(listener->openConnections(), 1u);
}

TEST_F(HelperListenerTest, AFrameArrivingInPiecesIsAnsweredOnceWhole) {
    auto listener = makeListener(admitAll_, {});
    const int client = connectClient(*listener);
    const auto request = wire::encodeRequest(wire::Request::fetchSensors);
    for (std::size_t i = 0; i < request.size(); ++i) {
        EXPECT_TRUE(drain(client).bytes.empty());
        ASSERT_TRUE(writeAll(client, Bytes{request[i]}));
        serve(*listener);
    }
    EXPECT_EQ(wire::decodeSensorReply(drain(client).bytes), kReading);
}

TEST_F(HelperListenerTest, PeerIsJudgedBeforeAnyOfItsBytesIsRead) {
    for (const bool admit : {true, false}) {
        ScriptedPolicy policy(admit);
        auto listener = makeListener(policy, {});
        const auto [client, server] = connectedPair();
        clients_.push_back(client);
        ASSERT_TRUE(writeAll(client, wire::encodeRequest(wire::Request::fetchSensors)));
        listener->adopt(server);
        serve(*listener);

        EXPECT_EQ(policy.unreadAtCheck, std::vector<int>{int(wire::kRequestFrameSize)});
        const auto reply = drain(client);
        EXPECT_EQ(reply.closed, !admit);
        EXPECT_EQ(!reply.bytes.empty(), admit);
    }
    EXPECT_EQ(collections_, 1);
}

TEST_F(HelperListenerTest, ABadRequestClosesItsConnectionAndNoOther) {
    const std::vector<std::pair<const char*, Bytes>> cases{
        {"garbage", Bytes(12, 0x41)},
        {"a reply instead of a request", RawFrame(2, 1).bytes()},
        {"an unknown request", RawFrame(1, 3).bytes()},
        {"another format version", RawFrame(1, 1).set(4, 9).bytes()},
        {"a request of the previous format version", RawFrame(1, 1).set(4, 1).bytes()},
        {"a request announcing a body", RawFrame(1, 1).byte(0).bytes()},
        {"a header announcing the largest frame", RawFrame(1, 1).withLength(wire::kMaxFrameSize)},
        {"a header announcing more than the limit", RawFrame(1, 1).withLength(1 << 30)},
        {"a sensor reply sent to the helper", wire::encodeSensorReply(kReading)},
    };
    for (const auto& [name, frame] : cases) {
        auto listener = makeListener(admitAll_, {});
        const int bad = connectClient(*listener);
        const int good = connectClient(*listener);
        ASSERT_TRUE(writeAll(bad, frame));
        ASSERT_TRUE(writeAll(good, wire::encodeRequest(wire::Request::fetchSensors)));
        serve(*listener, 2);

        const auto refused = drain(bad);
        EXPECT_TRUE(refused.closed) << name;
        EXPECT_TRUE(refused.bytes.empty()) << name;
        const auto answered = drain(good);
        EXPECT_FALSE(answered.closed) << name;
        EXPECT_EQ(wire::decodeSensorReply(answered.bytes), kReading) << name;
        EXPECT_EQ(listener->openConnections(), 1u) << name;
    }
}

TEST_F(HelperListenerTest, SilentAndTricklingPeersAreCutOffAtTheReadDeadline) {
    ListenerLimits limits;
    limits.readDeadline = 2s;
    auto listener = makeListener(admitAll_, limits);
    const int silent = connectClient(*listener);
    const int trickling = connectClient(*listener);
    const int lateStarter = connectClient(*listener);
    const auto request = wire::encodeRequest(wire::Request::fetchSensors);
    ASSERT_TRUE(writeAll(trickling, Bytes(request.begin(), request.begin() + 5)));
    serve(*listener);

    now_ += 1500ms;
    ASSERT_TRUE(writeAll(trickling, Bytes(request.begin() + 5, request.end() - 1)));
    // A first byte late in the allowance does not earn a fresh one.
    ASSERT_TRUE(writeAll(lateStarter, Bytes(request.begin(), request.begin() + 1)));
    serve(*listener);
    EXPECT_EQ(listener->openConnections(), 3u);

    now_ += 500ms;
    serve(*listener);
    EXPECT_EQ(listener->openConnections(), 0u);
    for (const int client : {silent, trickling, lateStarter}) {
        const auto received = drain(client);
        EXPECT_TRUE(received.closed);
        EXPECT_TRUE(received.bytes.empty());
    }
}

TEST_F(HelperListenerTest, AnAnsweredConnectionWaitsForItsNextRequestUntilKeepAliveEnds) {
    ListenerLimits limits;
    limits.readDeadline = 2s;
    limits.keepAlive = 30s;
    auto listener = makeListener(admitAll_, limits);
    const int client = connectClient(*listener);
    const auto request = wire::encodeRequest(wire::Request::fetchSensors);

    ASSERT_TRUE(writeAll(client, request));
    serve(*listener);
    now_ += 29s;
    serve(*listener);
    ASSERT_EQ(listener->openConnections(), 1u);
    // The next request, once begun, must be whole within the read deadline.
    ASSERT_TRUE(writeAll(client, Bytes(request.begin(), request.begin() + 1)));
    serve(*listener);
    now_ += 2s;
    serve(*listener);
    EXPECT_EQ(listener->openConnections(), 0u);
    EXPECT_EQ(drain(client).bytes.size(), wire::encodeSensorReply(kReading).size());

    const int idle = connectClient(*listener);
    ASSERT_TRUE(writeAll(idle, request));
    serve(*listener);
    now_ += 30s;
    serve(*listener);
    EXPECT_TRUE(drain(idle).closed);
}

// The largest reply there can be: every channel, every text at its longest, every value.
SensorReading largestReading() {
    SensorReading reading = kReading;
    for (std::size_t i = 0; i < wire::kMaxChannels; ++i) {
        std::string text = std::to_string(i);
        text.resize(wire::kMaxChannelText, 'x');
        reading.channels.push_back(
            {text, text, text, text, SensorKind::voltage, 1.0, 0.5, 1.5, 2.0});
    }
    return reading;
}

TEST_F(HelperListenerTest, TheLargestReplyArrivesWholeWhateverTheDefaultSendBuffer) {
    reading_ = largestReading();
    auto listener = makeListener(admitAll_, {});
    const auto [client, server] = connectedPair();
    clients_.push_back(client);
    const int smallBuffer = 4096;
    ASSERT_EQ(::setsockopt(server, SOL_SOCKET, SO_SNDBUF, &smallBuffer, sizeof smallBuffer), 0);
    listener->adopt(server);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(writeAll(client, wire::encodeRequest(wire::Request::fetchSensors)));
        serve(*listener);
        const auto reply = drain(client);
        EXPECT_FALSE(reply.closed);
        EXPECT_GT(reply.bytes.size(), 140'000u);
        EXPECT_EQ(wire::decodeSensorReply(reply.bytes), reading_);
    }
}

TEST_F(HelperListenerTest, APeerThatNeverReadsItsRepliesIsDropped) {
    reading_ = largestReading();
    auto listener = makeListener(admitAll_, {});
    const int client = connectClient(*listener);
    Bytes manyRequests;
    for (int i = 0; i < 400; ++i) {
        const auto request = wire::encodeRequest(wire::Request::fetchSensors);
        manyRequests.insert(manyRequests.end(), request.begin(), request.end());
    }
    ASSERT_TRUE(writeAll(client, manyRequests));
    for (int round = 0; round < 400 && listener->openConnections() > 0; ++round) {
        serve(*listener);
    }
    EXPECT_EQ(listener->openConnections(), 0u);
    EXPECT_LT(collections_, 400);
}

TEST_F(HelperListenerTest, ConnectionCapsHoldBackOrTurnAwayTheExcess) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("helper.sock").toStdString();
    const int listenFd = socket_test::listenAt(path);
    ASSERT_GE(listenFd, 0);

    struct Case {
        const char* name;
        std::size_t total, perUid, expectedOpen;
        bool excessClosed;  // turned away at once, or left waiting in the backlog
    };
    for (const auto& c :
         {Case{"total cap", 3, 8, 3, false}, Case{"per-user cap", 32, 2, 2, true}}) {
        ListenerLimits limits;
        limits.maxConnections = c.total;
        limits.maxConnectionsPerUid = c.perUid;
        auto listener = makeListener(admitAll_, limits, listenFd);
        std::vector<int> clients;
        for (int i = 0; i < 5; ++i) {
            clients.push_back(socket_test::connectTo(path));
            ASSERT_GE(clients.back(), 0);
        }
        serve(*listener, 2);
        EXPECT_EQ(listener->openConnections(), c.expectedOpen) << c.name;
        for (std::size_t i = c.expectedOpen; i < clients.size(); ++i) {
            EXPECT_EQ(drain(clients[i]).closed, c.excessClosed) << c.name << " client " << i;
        }

        // A freed place goes to a waiting client (or to a new one), which is then served.
        ::close(clients[0]);
        clients.erase(clients.begin());
        if (c.excessClosed) {
            clients.push_back(socket_test::connectTo(path));
        }
        serve(*listener, 2);
        const int next = c.excessClosed ? clients.back() : clients[c.expectedOpen - 1];
        ASSERT_TRUE(writeAll(next, wire::encodeRequest(wire::Request::fetchSensors)));
        serve(*listener);
        EXPECT_EQ(wire::decodeSensorReply(drain(next).bytes), kReading) << c.name;
        for (const int fd : clients) {
            ::close(fd);
        }
        serve(*listener, 3);
        EXPECT_EQ(listener->openConnections(), 0u) << c.name;
    }
    ::close(listenFd);
}

TEST_F(HelperListenerTest, EndsAfterAMinuteWithNoConnectionAndNoneAccepted) {
    ListenerLimits limits;
    limits.readDeadline = limits.keepAlive = 10min;
    limits.idleExit = 60s;
    auto listener = makeListener(admitAll_, limits);
    now_ += 59s;
    EXPECT_TRUE(listener->step(0ms));

    const int client = connectClient(*listener);
    now_ += 5min;
    EXPECT_TRUE(listener->step(0ms)) << "a connection is still open";
    ::close(client);
    clients_.clear();
    EXPECT_TRUE(listener->step(0ms));
    EXPECT_EQ(listener->openConnections(), 0u);
    now_ += 59s;
    EXPECT_TRUE(listener->step(0ms));
    now_ += 1s;
    EXPECT_FALSE(listener->step(0ms));
}

}  // namespace
