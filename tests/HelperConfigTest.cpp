#include "shared/HelperConfig.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(HelperConfig, ReadsAllowedUsers) {
    const auto config = parseHelperConfig(
        "# written by the installation\n"
        "\n"
        "allowed-uid = 1000\n"
        "  allowed-uid=1001  \r\n"
        "allowed-uid = 0");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->allowedUids, (std::vector<uid_t>{1000, 1001, 0}));
}

TEST(HelperConfig, AnythingUnexpectedMakesTheWholeFileUnusable) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty", ""},
        {"comments only", "# allowed-uid = 1000\n"},
        {"an application line (users are the boundary, not programs)",
         "allowed-uid = 1000\napplication = /usr/bin/vantrel\n"},
        {"an unknown key", "allowed-uid = 1000\nuid = 5\n"},
        {"a line without a value", "allowed-uid = 1000\nroot\n"},
        {"a user name instead of a number", "allowed-uid = alice\n"},
        {"a negative uid", "allowed-uid = -1\n"},
        {"the no-user uid", "allowed-uid = 4294967295\n"},
        {"a uid beyond 32 bits", "allowed-uid = 4294967296\n"},
        {"a uid with trailing text", "allowed-uid = 1000x\n"},
        {"an empty uid", "allowed-uid =\n"},
        {"a NUL after the uid", std::string("allowed-uid = 1\0\n", 17)},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_FALSE(parseHelperConfig(text)) << name;
    }
}

class HelperConfigFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text, mode_t mode) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path) << text;
        ::chmod(path.c_str(), mode);
        return path;
    }

    QTemporaryDir dir_;
    const std::string valid_ = "allowed-uid = 1000\n";
};

TEST_F(HelperConfigFileTest, IsTakenOnlyFromAFileNobodyElseMayWrite) {
    const uid_t me = ::geteuid();
    struct Case {
        mode_t mode;
        uid_t trustedOwner;
        bool accepted;
    };
    const std::vector<Case> cases{
        {0644, me, true},  {0600, me, true},  {0444, me, true},      {0664, me, false},
        {0646, me, false}, {0666, me, false}, {0644, me + 1, false},
    };
    for (const auto& c : cases) {
        const auto path = write("helper.conf", valid_, c.mode);
        EXPECT_EQ(loadHelperConfig(path, c.trustedOwner).has_value(), c.accepted)
            << std::oct << c.mode << " trusted owner " << std::dec << c.trustedOwner;
    }
}

TEST_F(HelperConfigFileTest, LinksDirectoriesMissingFilesAndHugeFilesAreRefused) {
    const auto target = write("real.conf", valid_, 0644);
    const auto link = dir_.filePath("link.conf").toStdString();
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_TRUE(loadHelperConfig(target, ::geteuid()));
    EXPECT_FALSE(loadHelperConfig(link, ::geteuid()));
    EXPECT_FALSE(loadHelperConfig(dir_.path().toStdString(), ::geteuid()));
    EXPECT_FALSE(loadHelperConfig(dir_.filePath("missing.conf").toStdString(), ::geteuid()));
    const auto huge = write("huge.conf", valid_ + std::string(70 * 1024, '#') + "\n", 0644);
    EXPECT_FALSE(loadHelperConfig(huge, ::geteuid()));
}

}  // namespace
