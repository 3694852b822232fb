#pragma once

#include "shared/HelperConfig.h"

#include <sys/types.h>

#include <optional>

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

// The installed policy: the user who connected is one the configuration allows. The user is
// the whole boundary. Every process of an allowed user is answered alike, whatever program
// it runs: on Linux a user's processes cannot be told apart by their executable (one may
// connect and then run the application, or load its own code into it).
class ConfiguredPeerPolicy final : public PeerPolicy {
public:
    explicit ConfiguredPeerPolicy(HelperConfig config);
    bool admits(int socketFd, const PeerCredentials& peer) const override;

private:
    HelperConfig config_;
};
