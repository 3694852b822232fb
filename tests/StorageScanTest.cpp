#include "platform/linux/filesystem/AllocatedSizeWalker.h"
#include "platform/linux/filesystem/LinuxStorageSource.h"
#include "platform/linux/filesystem/ThreadPriority.h"
#include "providers/BackgroundStorageScanner.h"
#include "providers/StorageScan.h"
#include "providers/VolumesOnlyStorageSource.h"
#include "support/EventLoop.h"
#include "support/FixtureTree.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMiB = 1 << 20;

void writeBytes(const fs::path& path, std::int64_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string block(4096, 'x');
    for (std::int64_t written = 0; written < size; written += 4096) {
        file.write(block.data(),
                   static_cast<std::streamsize>(std::min<std::int64_t>(4096, size - written)));
    }
}

// What the file system gave a file, as the walk should count it.
std::int64_t allocated(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return static_cast<std::int64_t>(info.st_blocks) * 512;
}

std::int64_t walk(const std::vector<fs::path>& folders, int depth = 128) {
    const std::atomic<bool> running{false};
    return allocatedBytesUnder(folders, running, depth);
}

// ---- the folder walk ----

TEST(AllocatedSizeWalker, CountsRegularFilesOnceAndFollowsNoLink) {
    const FixtureTree tree;
    const fs::path folder = tree.root() / "Downloads";
    writeBytes(folder / "video.mkv", 2 * kMiB);
    writeBytes(folder / "nested/deeper/notes.txt", 10000);
    fs::create_hard_link(folder / "video.mkv", folder / "nested/video-again.mkv");
    writeBytes(tree.root() / "elsewhere/big.iso", 3 * kMiB);
    fs::create_symlink(tree.root() / "elsewhere/big.iso", folder / "link-to-file");
    fs::create_directory_symlink(tree.root() / "elsewhere", folder / "link-to-folder");
    fs::create_symlink(folder, folder / "nested/loop");
    writeBytes(folder / ".hidden-cache", kMiB);
    writeBytes(folder / ".hidden-folder/inside.bin", kMiB);
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);

    const std::int64_t expected =
        allocated(folder / "video.mkv") + allocated(folder / "nested/deeper/notes.txt");
    EXPECT_EQ(walk({folder}), expected);

    // One row over two folders sharing a hard-linked file still counts it once.
    writeBytes(tree.root() / "Music/album.flac", kMiB);
    fs::create_hard_link(tree.root() / "Music/album.flac", folder / "album.flac");
    EXPECT_EQ(walk({folder, tree.root() / "Music"}),
              expected + allocated(tree.root() / "Music/album.flac"));
}

TEST(AllocatedSizeWalker, StopsAtTheDepthLimitWhenCancelledAndAtWhatIsNoFolder) {
    const FixtureTree tree;
    fs::path level = tree.root() / "top";
    std::vector<std::int64_t> perLevel;
    for (int depth = 1; depth <= 5; ++depth) {
        writeBytes(level / "file.bin", 8192);
        perLevel.push_back(allocated(level / "file.bin"));
        level /= "sub";
    }
    EXPECT_EQ(walk({tree.root() / "top"}, 3), perLevel[0] + perLevel[1] + perLevel[2]);
    EXPECT_EQ(walk({tree.root() / "top"}, 1), perLevel[0]);
    const std::atomic<bool> cancelled{true};
    EXPECT_EQ(allocatedBytesUnder({tree.root() / "top"}, cancelled), 0);

    fs::create_directory_symlink(tree.root() / "top", tree.root() / "linked");
    for (const fs::path& path :
         {tree.root() / "linked", tree.root() / "missing", tree.root() / "top/file.bin"}) {
        EXPECT_EQ(walk({path}), 0) << path;
    }
}

// A tmpfs mounted inside the tree, in a user and mount namespace of a child process (the test
// process has threads, which may not enter a new user namespace).
TEST(AllocatedSizeWalker, StaysOnTheFolderFileSystem) {
    const FixtureTree tree;
    const fs::path folder = tree.root() / "Documents";
    writeBytes(folder / "thesis.pdf", kMiB);
    fs::create_directories(folder / "mounted");
    const std::int64_t expected = allocated(folder / "thesis.pdf");

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::int64_t answer = -1;  // no namespace to be had
        auto writeFile = [](const char* path, const std::string& text) {
            std::ofstream(path) << text;
        };
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
            writeFile("/proc/self/setgroups", "deny");
            writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
            writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
            if (::mount("none", (folder / "mounted").c_str(), "tmpfs", 0, "size=8m") == 0) {
                writeBytes(folder / "mounted/other-fs.bin", 4 * kMiB);
                answer = walk({folder});
            }
        }
        (void)!::write(pipeEnds[1], &answer, sizeof answer);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::int64_t answer = -2;
    ASSERT_EQ(::read(pipeEnds[0], &answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (answer == -1) {
        // CI runs as root on a kernel that has them: there, their absence is a failure.
        ASSERT_FALSE(qEnvironmentVariableIsSet("CI")) << "no user and mount namespaces in CI";
        GTEST_SKIP() << "this kernel gives no unprivileged user and mount namespaces";
    }
    EXPECT_EQ(answer, expected);
}

// ---- the whole scan over a home folder ----

TEST(LinuxStorageScan, MeasuresTheCategoriesOfAHome) {
    const FixtureTree tree;
    StorageLocations locations{tree.root() / "home/alice", tree.root() / "home/alice/.config",
                               tree.root() / "system"};
    const fs::path& home = locations.home;
    fs::create_directories(locations.configHome);
    std::ofstream(locations.configHome / "user-dirs.dirs")
        << "XDG_DESKTOP_DIR=\"$HOME/\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    writeBytes(home / "huge-file-in-home.bin", 6 * kMiB);  // only a category counts it
    writeBytes(home / "Downloads/setup.run", 2 * kMiB);
    writeBytes(home / "Papers/thesis.pdf", 3 * kMiB);
    writeBytes(home / "Documents/unused.txt", 3 * kMiB);  // not the configured folder
    writeBytes(home / "Music/tiny.ogg", 4096);            // below 1 MiB: left out
    writeBytes(home / ".cargo/registry/crate.tar", kMiB + 8192);
    writeBytes(home / ".local/share/app/data.db", 4 * kMiB);
    writeBytes(locations.systemRoot / "opt/tool/tool.bin", 5 * kMiB);

    LinuxStorageSource source(locations);
    const std::atomic<bool> running{false};
    const StorageScanResult result = scanStorage(source, running);

    QStringList names;
    for (const StorageCategory& category : result.categories) {
        names << category.name;
        EXPECT_EQ(category.id, category.name);
    }
    EXPECT_EQ(names,
              (QStringList{"Applications", "Library", "Documents", "Downloads", "Developer"}));
    ASSERT_EQ(result.categories.size(), 5);
    EXPECT_EQ(result.categories[0].bytes, allocated(locations.systemRoot / "opt/tool/tool.bin"));
    EXPECT_EQ(result.categories[0].icon, "app.badge");
    EXPECT_EQ(result.categories[2].bytes, allocated(home / "Papers/thesis.pdf"));
    EXPECT_TRUE(result.volumes.isEmpty());  // the system root has no mount table
}

// ---- the background thread ----

// Notes the thread and priority it was called on; optionally blocks until cancelled.
class ProbeSource final : public StorageSource {
public:
    struct Notes {
        std::atomic<bool> entered{false};
        std::atomic<bool> gone{false};
        Qt::HANDLE thread = nullptr;
        ThreadPriority priority;
    };

    ProbeSource(std::shared_ptr<Notes> notes, bool blockUntilCancelled)
        : notes_(std::move(notes)), block_(blockUntilCancelled) {}
    ~ProbeSource() override {
        notes_->gone.store(true);
        notes_->gone.notify_all();
    }

    std::vector<CategoryFolders> categoryFolders() override {
        notes_->thread = QThread::currentThreadId();
        notes_->priority = currentThreadPriority();
        return {{"Downloads", "arrow.down.circle", {"/nowhere"}}};
    }
    std::int64_t allocatedBytes(const std::vector<fs::path>&,
                                const std::atomic<bool>& cancelled) override {
        notes_->entered.store(true);
        notes_->entered.notify_all();
        if (block_) {
            cancelled.wait(false);
        }
        return 2 * kMiB;
    }
    std::vector<VolumeDescription> mountedVolumes() override {
        return {{"/media/x", "x", 10, 5, false, true, false}};
    }

private:
    std::shared_ptr<Notes> notes_;
    bool block_;
};

TEST(VolumesOnlyStorageSource, ListsTheVolumesWithoutMeasuringAnyFolder) {
    auto notes = std::make_shared<ProbeSource::Notes>();
    VolumesOnlyStorageSource source(std::make_unique<ProbeSource>(notes, false));
    const std::atomic<bool> running{false};
    const StorageScanResult result = scanStorage(source, running);
    EXPECT_FALSE(notes->entered.load()) << "a folder was measured";
    EXPECT_TRUE(result.categories.isEmpty());
    ASSERT_EQ(result.volumes.size(), 1);
    EXPECT_EQ(result.volumes[0].id, "/media/x");
}

TEST(BackgroundStorageScanner, ScansOnALowPriorityThreadAndAnswersOnTheCallers) {
    auto notes = std::make_shared<ProbeSource::Notes>();
    BackgroundStorageScanner scanner(std::make_shared<ProbeSource>(notes, false),
                                     [] { moveCurrentThreadToBackground(); });
    std::optional<StorageScanResult> result;
    Qt::HANDLE answeredOn = nullptr;
    scanner.start([&](StorageScanResult scanned) {
        answeredOn = QThread::currentThreadId();
        result = std::move(scanned);
    });
    EXPECT_FALSE(result);  // never answered from inside start
    ASSERT_TRUE(runEventsUntil([&] { return result.has_value(); }));

    EXPECT_EQ(answeredOn, QThread::currentThreadId());
    EXPECT_NE(notes->thread, QThread::currentThreadId());
    EXPECT_EQ(notes->priority.nice, kBackgroundNice);
    EXPECT_EQ(notes->priority.ioClass, kIdleIoClass);
    EXPECT_EQ(currentThreadPriority().nice, 0);  // the caller keeps its own
    ASSERT_EQ(result->categories.size(), 1);
    EXPECT_EQ(result->categories[0].bytes, 2 * kMiB);
    ASSERT_EQ(result->volumes.size(), 1);
    EXPECT_EQ(result->volumes[0].id, "/media/x");
}

TEST(BackgroundStorageScanner, DestroyedMidScanCancelsAndNeverAnswers) {
    auto notes = std::make_shared<ProbeSource::Notes>();
    auto answered = std::make_shared<bool>(false);
    {
        BackgroundStorageScanner scanner(std::make_shared<ProbeSource>(notes, true), {});
        scanner.start([answered](StorageScanResult) { *answered = true; });
        notes->entered.wait(false);
    }
    // The abandoned thread sees the cancellation, ends, and lets go of the source.
    notes->gone.wait(false);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(*answered);
}

}  // namespace
