#include "helper/PeerPolicy.h"

#include "helper/TrustedFile.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#ifndef SO_PEERPIDFD
#define SO_PEERPIDFD 77  // Linux 6.5: a pidfd of the very process that connected
#endif

namespace {

// Called through syscall(): this C library's <sys/pidfd.h> lacks C++ linkage guards.
int openPidfd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int signalThroughPidfd(int pidfd, int signal) {
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

// Closes a descriptor on every path.
class OwnedFd {
public:
    explicit OwnedFd(int fd) : fd_(fd) {}
    ~OwnedFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A pidfd for the peer. The one the socket itself holds names the process that connected
// even if its pid has since been reused; opening one by pid (older kernels) narrows that race
// to the moment between connect and open. -1 where the kernel offers neither.
int peerPidfd(int socketFd, pid_t pid) {
    int pidfd = -1;
    socklen_t length = sizeof(pidfd);
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERPIDFD, &pidfd, &length) == 0 &&
        length == sizeof(pidfd) && pidfd >= 0) {
        return pidfd;
    }
    return openPidfd(pid);
}

bool stillAlive(int pidfd) {
    // Without the right to signal the peer, EPERM still proves it exists.
    return signalThroughPidfd(pidfd, 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<PeerCredentials> peerCredentials(int socketFd) {
    struct ucred credentials {};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof(credentials) || credentials.pid <= 0) {
        return std::nullopt;
    }
    return PeerCredentials{credentials.pid, credentials.uid, credentials.gid};
}

ConfiguredPeerPolicy::ConfiguredPeerPolicy(HelperConfig config, uid_t trustedOwner,
                                           std::string procRoot)
    : config_(std::move(config)), trustedOwner_(trustedOwner), procRoot_(std::move(procRoot)) {}

bool ConfiguredPeerPolicy::admits(int socketFd, const PeerCredentials& peer) const {
    const auto& allowed = config_.allowedUids;
    return std::find(allowed.begin(), allowed.end(), peer.uid) != allowed.end() &&
           runsApplication(socketFd, peer);
}

bool ConfiguredPeerPolicy::runsApplication(int socketFd, const PeerCredentials& peer) const {
    const OwnedFd pidfd(peerPidfd(socketFd, peer.pid));
    if (pidfd.get() < 0 && errno != ENOSYS) {
        return false;  // the peer is gone, or the check itself failed
    }
    struct stat running {};
    struct stat installed {};
    const std::string exe = procRoot_ + "/" + std::to_string(peer.pid) + "/exe";
    if (::stat(exe.c_str(), &running) != 0 ||
        ::stat(config_.applicationPath.c_str(), &installed) != 0 ||
        !isTrustedFile(installed, trustedOwner_) || running.st_dev != installed.st_dev ||
        running.st_ino != installed.st_ino) {
        return false;
    }
    // The executable was read under the peer's pid; it was the peer's only if the peer still
    // holds that pid now.
    return pidfd.get() < 0 || stillAlive(pidfd.get());
}
