#include "helper/HelperListener.h"

#include "shared/HelperReplies.h"
#include "shared/HelperService.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

std::optional<wire::Frame> replyTo(wire::Request request, const HelperListener::Collect& collect) {
    switch (request) {
        case wire::Request::fetchSensors:
            return wire::encodeSensorReply(collect());
        case wire::Request::helperVersion:
            return wire::encodeVersionReply(helper_service::kVersion);
    }
    return std::nullopt;
}

bool sendWhole(int fd, const wire::Frame& frame) {
    // Every connection's send buffer holds a whole reply of the largest size (see adopt); a
    // peer that has not read its earlier replies and left no room for this one is not waited
    // for.
    ssize_t sent = 0;
    do {
        sent = ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(frame.size());
}

}  // namespace

HelperListener::HelperListener(int listenFd, const PeerPolicy& policy, Collect collect,
                               ListenerLimits limits, SteadyClock now)
    : listenFd_(listenFd),
      policy_(policy),
      collect_(std::move(collect)),
      limits_(limits),
      now_(std::move(now)),
      lastActivity_(now_()) {}

HelperListener::~HelperListener() {
    for (const auto& connection : connections_) {
        ::close(connection.fd);
    }
}

void HelperListener::run() {
    while (step(limits_.idleExit)) {
    }
}

bool HelperListener::step(milliseconds maxWait) {
    if (connections_.empty() && now_() - lastActivity_ >= limits_.idleExit) {
        return false;
    }
    const bool listening = listenFd_ >= 0 && connections_.size() < limits_.maxConnections;
    std::vector<pollfd> watched;
    watched.reserve(connections_.size() + 1);
    for (const auto& connection : connections_) {
        watched.push_back({connection.fd, POLLIN, 0});
    }
    if (listening) {
        watched.push_back({listenFd_, POLLIN, 0});
    }
    const int ready = ::poll(watched.data(), watched.size(),
                             static_cast<int>(timeUntilNextDeadline(maxWait).count()));
    if (ready < 0 && errno != EINTR) {
        return false;
    }

    std::vector<bool> closing(connections_.size(), false);
    for (std::size_t i = 0; i < connections_.size(); ++i) {
        if (watched[i].revents != 0) {
            closing[i] = !readFrom(connections_[i]);
        }
    }
    const auto now = now_();
    for (std::size_t i = 0; i < connections_.size(); ++i) {
        closing[i] = closing[i] || now >= connections_[i].deadline;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < connections_.size(); ++i) {
        if (closing[i]) {
            ::close(connections_[i].fd);
            lastActivity_ = now;
        } else {
            connections_[kept++] = connections_[i];
        }
    }
    connections_.resize(kept);

    if (listening && (watched.back().revents & POLLIN) != 0) {
        acceptPending();
    }
    return true;
}

void HelperListener::acceptPending() {
    while (connections_.size() < limits_.maxConnections) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        adopt(fd);
    }
}

void HelperListener::adopt(int connectionFd) {
    const auto peer = peerCredentials(connectionFd);
    if (!peer || connections_.size() >= limits_.maxConnections ||
        connectionsOf(peer->uid) >= limits_.maxConnectionsPerUid ||
        !policy_.admits(connectionFd, *peer)) {
        ::close(connectionFd);
        return;
    }
    // The kernel doubles what it is asked for (up to its ceiling, 208 KiB unless changed), so
    // an empty send buffer takes one reply of the largest size whole even where the default
    // buffer is smaller.
    const int sendBuffer = static_cast<int>(wire::kMaxFrameSize);
    ::setsockopt(connectionFd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    // Only admitted peers keep the helper running: anyone may connect, and a refused peer
    // knocking now and then must not hold a root process alive.
    const auto now = now_();
    lastActivity_ = now;
    Connection connection;
    connection.fd = connectionFd;
    connection.uid = peer->uid;
    connection.deadline = now + limits_.readDeadline;
    connections_.push_back(connection);
}

bool HelperListener::readFrom(Connection& connection) {
    const std::size_t wanted = connection.received.size() - connection.receivedSize;
    ssize_t got = 0;
    do {
        got = ::recv(connection.fd, connection.received.data() + connection.receivedSize, wanted,
                     MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    if (got == 0) {
        return false;  // the peer hung up
    }
    const auto now = now_();
    if (connection.receivedSize == 0) {
        connection.deadline = std::min(connection.deadline, now + limits_.readDeadline);
    }
    connection.receivedSize += static_cast<std::size_t>(got);
    if (connection.receivedSize < connection.received.size()) {
        return true;  // the rest of the request is still on its way
    }
    if (!answer(connection)) {
        return false;
    }
    connection.receivedSize = 0;
    connection.deadline = now_() + limits_.keepAlive;
    return true;
}

bool HelperListener::answer(Connection& connection) {
    const auto request = wire::decodeRequest(connection.received);
    if (!request) {
        return false;
    }
    const auto reply = replyTo(*request, collect_);
    return reply && sendWhole(connection.fd, *reply);
}

std::size_t HelperListener::connectionsOf(uid_t uid) const {
    return static_cast<std::size_t>(
        std::count_if(connections_.begin(), connections_.end(),
                      [uid](const Connection& connection) { return connection.uid == uid; }));
}

milliseconds HelperListener::timeUntilNextDeadline(milliseconds maxWait) const {
    auto next =
        connections_.empty() ? lastActivity_ + limits_.idleExit : steady_clock::time_point::max();
    for (const auto& connection : connections_) {
        next = std::min(next, connection.deadline);
    }
    const auto now = now_();
    if (next <= now) {
        return milliseconds(0);
    }
    const auto until = std::chrono::ceil<milliseconds>(next - now);
    return std::min(until, maxWait);
}
