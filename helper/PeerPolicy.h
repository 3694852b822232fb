#pragma once

#include "helper/HelperConfig.h"

#include <sys/types.h>

#include <optional>
#include <string>

// The process at the other end of a connected Unix socket, as the kernel recorded it when the
// peer connected.
struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
    gid_t gid = 0;
};

std::optional<PeerCredentials> peerCredentials(int socketFd);

// Decides, before a single byte is read from it, whether a connection may be served.
class PeerPolicy {
public:
    virtual ~PeerPolicy() = default;
    virtual bool admits(int socketFd, const PeerCredentials& peer) const = 0;
};

// The installed policy: the peer's uid is one the configuration allows, and the peer runs the
// configured application binary, which must be owned by `trustedOwner` (root outside tests)
// and writable by nobody else. Any error while checking refuses the peer.
class ConfiguredPeerPolicy final : public PeerPolicy {
public:
    explicit ConfiguredPeerPolicy(HelperConfig config, uid_t trustedOwner = 0,
                                  std::string procRoot = "/proc");
    bool admits(int socketFd, const PeerCredentials& peer) const override;

private:
    bool runsApplication(int socketFd, const PeerCredentials& peer) const;

    HelperConfig config_;
    uid_t trustedOwner_;
    std::string procRoot_;
};
