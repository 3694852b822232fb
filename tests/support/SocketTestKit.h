#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// Small blocking-free helpers for tests that talk to the helper over Unix sockets.
namespace socket_test {

inline std::pair<int, int> connectedPair() {
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        return {-1, -1};
    }
    return {fds[0], fds[1]};
}

inline bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

// Whatever the other end has sent so far, and whether it has hung up.
struct Received {
    std::vector<std::uint8_t> bytes;
    bool closed = false;
};

inline Received drain(int fd) {
    Received received;
    std::uint8_t buffer[8192];
    while (true) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            received.bytes.insert(received.bytes.end(), buffer, buffer + got);
            continue;
        }
        received.closed = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
        return received;
    }
}

inline sockaddr_un unixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    return address;
}

// A non-blocking listening socket bound at `path`, or -1.
inline int listenAt(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const auto address = unixAddress(path);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 128) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

// A client connected to the socket at `path`, or -1. A Unix connect completes at once while
// the listener's backlog has room.
inline int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto address = unixAddress(path);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

}  // namespace socket_test
