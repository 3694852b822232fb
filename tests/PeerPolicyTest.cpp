#include "helper/PeerPolicy.h"
#include "support/SocketTestKit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

namespace {

TEST(PeerPolicy, CredentialsNameThisProcess) {
    const auto [client, server] = socket_test::connectedPair();
    ASSERT_GE(server, 0);
    const auto peer = peerCredentials(server);
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->pid, ::getpid());
    EXPECT_EQ(peer->uid, ::geteuid());
    EXPECT_FALSE(peerCredentials(-1));
    ::close(client);
    ::close(server);
}

// The user who connected decides alone; which program the peer runs plays no part.
TEST(PeerPolicy, AdmitsExactlyTheAllowedUsers) {
    const struct {
        const char* name;
        std::vector<uid_t> allowed;
        uid_t peer;
        bool admitted;
    } cases[] = {
        {"the one allowed user", {1000}, 1000, true},
        {"one of several", {0, 1000, 1001}, 1001, true},
        {"a user not listed", {1000}, 1001, false},
        {"root, not listed", {1000}, 0, false},
        {"the no-user uid", {1000}, static_cast<uid_t>(-1), false},
    };
    for (const auto& c : cases) {
        const ConfiguredPeerPolicy policy(HelperConfig{c.allowed});
        EXPECT_EQ(policy.admits(-1, PeerCredentials{1234, c.peer, c.peer}), c.admitted) << c.name;
    }
}

}  // namespace
