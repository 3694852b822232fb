#include "helper/PeerPolicy.h"
#include "support/SocketTestKit.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string ownExecutable() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

class PeerPolicyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::stat(ownExecutable().c_str(), &self_), 0);
        // The test binary plays the installed application, so its owner plays root.
        trustedOwner_ = self_.st_uid;
        std::tie(client_, server_) = socket_test::connectedPair();
        ASSERT_GE(server_, 0);
    }
    void TearDown() override {
        ::close(client_);
        ::close(server_);
    }

    HelperConfig config(std::string application, uid_t allowed) const {
        return HelperConfig{{allowed}, std::move(application)};
    }

    bool admitsThisProcess(const ConfiguredPeerPolicy& policy) const {
        const auto peer = peerCredentials(server_);
        return peer && policy.admits(server_, *peer);
    }

    struct stat self_ {};
    uid_t trustedOwner_ = 0;
    int client_ = -1;
    int server_ = -1;
    QTemporaryDir dir_;
};

TEST_F(PeerPolicyTest, CredentialsNameThisProcess) {
    const auto peer = peerCredentials(server_);
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->pid, ::getpid());
    EXPECT_EQ(peer->uid, ::geteuid());
    EXPECT_FALSE(peerCredentials(-1));
}

TEST_F(PeerPolicyTest, AdmitsOnlyAnAllowedUserRunningTheApplication) {
    const uid_t me = ::geteuid();
    const std::string other = dir_.filePath("other-program").toStdString();
    std::ofstream(other) << "#!/bin/sh\n";
    ::chmod(other.c_str(), 0755);

    struct Case {
        const char* name;
        HelperConfig config;
        uid_t trustedOwner;
        bool admitted;
    };
    const std::vector<Case> cases{
        {"allowed user, the application", config(ownExecutable(), me), trustedOwner_, true},
        {"another user", config(ownExecutable(), me + 1), trustedOwner_, false},
        {"another executable", config(other, me), ::geteuid(), false},
        {"the application owned by someone untrusted", config(ownExecutable(), me),
         trustedOwner_ + 1, false},
        {"an application that is not there", config(dir_.filePath("gone").toStdString(), me),
         trustedOwner_, false},
    };
    for (const auto& c : cases) {
        const ConfiguredPeerPolicy policy(c.config, c.trustedOwner);
        EXPECT_EQ(admitsThisProcess(policy), c.admitted) << c.name;
    }
}

TEST_F(PeerPolicyTest, AnApplicationOthersMayRewriteIsNeverTrusted) {
    // A private /proc whose entry for this process points at an application file of the test's
    // choosing, so its permissions can be varied.
    const std::string application = dir_.filePath("vantrel").toStdString();
    std::ofstream(application) << "binary";
    const std::string procEntry =
        dir_.filePath("proc/" + QString::number(::getpid())).toStdString();
    std::filesystem::create_directories(procEntry);
    std::filesystem::create_symlink(application, procEntry + "/exe");
    const ConfiguredPeerPolicy policy(config(application, ::geteuid()), ::geteuid(),
                                      dir_.filePath("proc").toStdString());

    for (const auto& [mode, admitted] : std::vector<std::pair<mode_t, bool>>{
             {0755, true}, {0555, true}, {0775, false}, {0757, false}, {0777, false}}) {
        ::chmod(application.c_str(), mode);
        EXPECT_EQ(admitsThisProcess(policy), admitted) << std::oct << mode;
    }
    const ConfiguredPeerPolicy noProc(config(application, ::geteuid()), ::geteuid(),
                                      dir_.filePath("empty").toStdString());
    EXPECT_FALSE(admitsThisProcess(noProc));
}

// A peer that connected and then ended, leaving its connection to a process it started: the
// pid the kernel recorded no longer names the peer, so nothing read under it may be trusted,
// even when a process entry under that pid (here a stand-in, as after pid reuse) shows the
// application.
TEST_F(PeerPolicyTest, APeerWhoseProcessHasEndedIsRefused) {
    const std::string path = dir_.filePath("helper.sock").toStdString();
    const int listenFd = socket_test::listenAt(path);
    ASSERT_GE(listenFd, 0);
    const std::string procRoot = dir_.filePath("proc").toStdString();
    const ConfiguredPeerPolicy policy(config(ownExecutable(), ::geteuid()), trustedOwner_,
                                      procRoot);

    for (const bool peerEnds : {false, true}) {
        int release[2];
        ASSERT_EQ(::pipe2(release, O_CLOEXEC), 0);
        const pid_t peer = ::fork();
        ASSERT_GE(peer, 0);
        if (peer == 0) {
            ::close(release[1]);
            const int fd = socket_test::connectTo(path);
            char done = 0;
            if (fd < 0 || (peerEnds && ::fork() != 0)) {
                ::_exit(0);  // the grandchild keeps the connection open
            }
            while (::read(release[0], &done, 1) < 0 && errno == EINTR) {
            }
            ::_exit(0);
        }
        ::close(release[0]);
        const std::string entry = procRoot + "/" + std::to_string(peer);
        std::filesystem::create_directories(entry);
        std::filesystem::create_symlink(ownExecutable(), entry + "/exe");
        if (peerEnds) {
            ASSERT_EQ(::waitpid(peer, nullptr, 0), peer);
        }
        int connection = -1;
        while ((connection = ::accept(listenFd, nullptr, nullptr)) < 0 && errno == EAGAIN) {
            struct pollfd ready {
                listenFd, POLLIN, 0
            };
            ::poll(&ready, 1, -1);
        }
        ASSERT_GE(connection, 0);
        const auto credentials = peerCredentials(connection);
        ASSERT_TRUE(credentials);
        EXPECT_EQ(credentials->pid, peer);
        EXPECT_EQ(policy.admits(connection, *credentials), !peerEnds)
            << (peerEnds ? "ended peer" : "living peer");
        ::close(connection);
        ::close(release[1]);
        if (!peerEnds) {
            ASSERT_EQ(::waitpid(peer, nullptr, 0), peer);
        }
    }
    ::close(listenFd);
}

}  // namespace
