#include "helper/HelperDaemon.h"

#include "helper/PeerPolicy.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <systemd/sd-daemon.h>

#include <cstdio>

namespace {

// The single socket systemd passed, or -1 after saying what was wrong.
int activatedSocket() {
    const int count = sd_listen_fds(1);
    if (count != 1) {
        std::fprintf(stderr,
                     "[OrvikHelper] expected one socket from systemd socket activation, got %d\n",
                     count < 0 ? 0 : count);
        return -1;
    }
    const int fd = SD_LISTEN_FDS_START;
    if (sd_is_socket_unix(fd, SOCK_STREAM, 1, nullptr, 0) <= 0) {
        std::fprintf(stderr,
                     "[OrvikHelper] the activated socket is not a listening Unix stream "
                     "socket\n");
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 ||
        ::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        std::fprintf(stderr, "[OrvikHelper] cannot configure the activated socket\n");
        return -1;
    }
    return fd;
}

}  // namespace

int runHelperDaemon(const HelperListener::Collect& collect, const DaemonOptions& options) {
    const int listenFd = activatedSocket();
    if (listenFd < 0) {
        return 1;
    }
    auto config = loadHelperConfig(options.configPath, options.trustedOwner);
    if (!config) {
        std::fprintf(stderr,
                     "[OrvikHelper] refusing to serve: %s is missing, malformed, or not a "
                     "root-owned file that only root may write\n",
                     options.configPath.c_str());
        return 1;
    }
    const ConfiguredPeerPolicy policy(std::move(*config));
    HelperListener listener(listenFd, policy, collect, options.limits);
    listener.run();
    return 0;
}
