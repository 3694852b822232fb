#include "helper/PeerPolicy.h"

#include <sys/socket.h>

#include <algorithm>
#include <utility>

std::optional<PeerCredentials> peerCredentials(int socketFd) {
    struct ucred credentials {};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof(credentials)) {
        return std::nullopt;
    }
    return PeerCredentials{credentials.pid, credentials.uid, credentials.gid};
}

ConfiguredPeerPolicy::ConfiguredPeerPolicy(HelperConfig config) : config_(std::move(config)) {}

bool ConfiguredPeerPolicy::admits(int, const PeerCredentials& peer) const {
    const auto& allowed = config_.allowedUids;
    return std::find(allowed.begin(), allowed.end(), peer.uid) != allowed.end();
}
