#include "linux_io/FileReplacement.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

TEST(AtomicFile, ReplacesWholeWithItsModeAndLeavesNothingBehind) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    const auto target = folder / "helper.conf";
    const auto partial = folder / ".helper.conf.new";
    const FileOwnership ownership{0640, ::geteuid(), ::getegid()};
    writeFile(partial, "left by a crash");
    writeFile(target, "old");
    ASSERT_EQ(replaceFileAtomically(target, "new", ownership), 0);
    EXPECT_EQ(readFile(target), "new");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_FALSE(std::filesystem::exists(partial));

    // A link in the target's place is replaced, never followed.
    const auto elsewhere = folder / "elsewhere";
    writeFile(elsewhere, "untouched");
    std::filesystem::remove(target);
    std::filesystem::create_symlink(elsewhere, target);
    ASSERT_EQ(replaceFileAtomically(target, "new", ownership), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    EXPECT_EQ(readFile(elsewhere), "untouched");

    // A write that cannot happen leaves the old file.
    std::filesystem::create_directories(partial / "busy");
    EXPECT_NE(replaceFileAtomically(target, "newer", ownership), 0);
    EXPECT_EQ(readFile(target), "new");
}

}  // namespace
