#pragma once

#include "helper/PeerPolicy.h"
#include "shared/SensorReading.h"
#include "shared/WireFrame.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

struct ListenerLimits {
    // A request must arrive whole within this time of its connection's accept or of its first
    // byte; a connection that stays silent or trickles is closed.
    std::chrono::milliseconds readDeadline{2000};
    // A connection that has been answered may stay open this long for its next request (the
    // application asks every 1 to 5 seconds on the same connection).
    std::chrono::milliseconds keepAlive{30000};
    // With no connection open, the helper ends after this long without admitting one.
    std::chrono::milliseconds idleExit{60000};
    // Beyond this many, further connections wait in the socket's backlog.
    std::size_t maxConnections = 32;
    // Beyond this many from one user, further connections from that user are closed at once.
    std::size_t maxConnectionsPerUid = 8;
};

// Serves fetchSensors and helperVersion on the connections of one listening Unix stream
// socket, one request at a time per connection, from a single thread. A connection is
// checked against the peer policy before anything is read from it; a refused peer, a
// malformed, oversized or unknown request, a missed deadline or any socket error closes that
// connection without an answer and touches no other.
class HelperListener {
public:
    using Collect = std::function<SensorReading()>;
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

    // `listenFd` is a non-blocking listening socket the listener does not own (-1 for none);
    // `policy` must outlive the listener.
    HelperListener(
        int listenFd, const PeerPolicy& policy, Collect collect, ListenerLimits limits = {},
        SteadyClock now = [] { return std::chrono::steady_clock::now(); });
    ~HelperListener();
    HelperListener(const HelperListener&) = delete;
    HelperListener& operator=(const HelperListener&) = delete;

    // Serves until the helper has been idle for `idleExit`.
    void run();

    // One round: waits at most `maxWait` for activity, then accepts, reads, answers and
    // closes what is due. False once the idle time is over and the listener should end.
    bool step(std::chrono::milliseconds maxWait);

    // Takes a connected socket as if it had just been accepted (the listener then owns it).
    void adopt(int connectionFd);

    std::size_t openConnections() const { return connections_.size(); }

private:
    struct Connection {
        int fd = -1;
        uid_t uid = 0;
        std::array<std::uint8_t, wire::kRequestFrameSize> received{};
        std::size_t receivedSize = 0;
        std::chrono::steady_clock::time_point deadline;
    };

    void acceptPending();
    // False when the connection is to be closed.
    bool readFrom(Connection& connection);
    bool answer(Connection& connection);
    std::size_t connectionsOf(uid_t uid) const;
    std::chrono::milliseconds timeUntilNextDeadline(std::chrono::milliseconds maxWait) const;

    int listenFd_;
    const PeerPolicy& policy_;
    Collect collect_;
    ListenerLimits limits_;
    SteadyClock now_;
    std::vector<Connection> connections_;
    std::chrono::steady_clock::time_point lastActivity_;
};
