#include "platform/linux/desktop/DesktopEntryCatalog.h"
#include "platform/linux/desktop/DesktopEntryParser.h"
#include "platform/linux/desktop/SafeDisplayText.h"
#include "platform/linux/process/AppUnitParser.h"
#include "platform/linux/process/LinuxProcessSource.h"
#include "platform/linux/process/PidStatParser.h"
#include "platform/linux/process/ProcessNameResolver.h"
#include "platform/linux/process/ProcessTableReader.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path kProcFixtures = fs::path(VANTREL_FIXTURES_DIR) / "proc";
const fs::path kDesktopFixtures = fs::path(VANTREL_FIXTURES_DIR) / "desktop-entries";

constexpr std::uint64_t kTick = 10'000'000;  // ns per tick at 100 ticks per second

ProcessTableOptions fixtureOptions(uid_t uid, std::size_t keepLimit = 64) {
    ProcessTableOptions options;
    options.uid = uid;
    options.ownerCheck = ProcessOwnerCheck::statusUid;
    options.ticksPerSecond = 100;
    options.pageSize = 4096;
    options.keptDescriptorLimit = keepLimit;
    return options;
}

std::vector<std::int32_t> pidsOf(const std::vector<ProcessSample>& processes) {
    std::vector<std::int32_t> pids;
    for (const ProcessSample& process : processes) {
        pids.push_back(process.pid);
    }
    return pids;
}

std::string statLine(int pid, const std::string& command, char state, int userTicks, int start) {
    return std::to_string(pid) + " (" + command + ") " + state + " 1 1 1 0 -1 4194560 0 0 0 0 " +
           std::to_string(userTicks) + " 0 0 0 20 0 1 0 " + std::to_string(start) +
           " 1000000 250 18446744073709551615 0 0 0 0 0 0 0 0 0 0 0 0 17 0 0 0 0 0 0\n";
}

// --- /proc/PID/stat ---

TEST(PidStatParser, FindsTheFieldsAfterTheLastParenthesis) {
    struct Row {
        const char* line;
        const char* command;
        char state;
    };
    const Row rows[] = {
        {"1181 ((sd-pam)) S 1180 1180 1180 0 -1 4194560 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77 x\n",
         "(sd-pam)", 'S'},
        {"1900 (a) b (c) R 1 1 1 0 -1 4194560 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77 x\n", "a) b (c",
         'R'},
        {"8 (a b) ) t 1 1 1 0 -1 4194560 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77\n", "a b) ", 't'},
    };
    for (const Row& row : rows) {
        const auto stat = parsePidStat(row.line);
        ASSERT_TRUE(stat) << row.line;
        EXPECT_EQ(stat->command, row.command) << row.line;
        EXPECT_EQ(stat->state, row.state) << row.line;
        EXPECT_EQ((std::vector<std::uint64_t>{stat->userTicks, stat->systemTicks, stat->startTicks,
                                              stat->residentPages, stat->flags}),
                  (std::vector<std::uint64_t>{12, 34, 1502, 77, 4194560}))
            << row.line;
    }
}

TEST(PidStatParser, RefusesDamagedLines) {
    for (const char* line : {
             "",
             "12 (cat S 1 1 1 0 -1 0 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77\n",
             "12 (cat) S 1 1 1 0 -1 0 7 0 0 0 12 34 0 0 20 0 1 0 1502 1\n",      // no rss
             "12 (cat) S 1 1 1 0 -1 0 7 0 0 0 x2 34 0 0 20 0 1 0 1502 1 77\n",   // utime
             "12 (cat) SS 1 1 1 0 -1 0 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77\n",  // state
             "12 (cat) S 1 1 1 0 -1 0 7 0 0 0 12  34 0 0 20 0 1 0 1502 1 77\n",  // empty field
             ") 12 (cat S 1 1 1 0 -1 0 7 0 0 0 12 34 0 0 20 0 1 0 1502 1 77\n",
         }) {
        EXPECT_EQ(parsePidStat(line), std::nullopt) << '"' << line << '"';
    }
}

// --- the table from fixture trees ---

TEST(ProcessTableReader, ListsOnlyTheUsersProcessesOfAUserSession) {
    ProcessTableReader reader(kProcFixtures / "user-session", fixtureOptions(1000));
    const auto processes = reader.read();
    ASSERT_TRUE(processes);
    // Not listed: 1 and 2 (root), 2000 (gone: no stat), 2001 (stat cut short), 2100 (uid 1001).
    const std::vector<std::int32_t> expected{1180, 1181, 1290, 1352, 1410, 1502, 1611, 1700, 1701,
                                             1702, 1800, 1900, 2200, 2300, 2400, 2500, 2600};
    EXPECT_EQ(pidsOf(*processes), expected);

    const ProcessSample firefox = (*processes)[2];
    EXPECT_EQ(firefox, (ProcessSample{1290, 2210, ProcessRunState::sleeping, 52310 * kTick,
                                      8123 * kTick, 120000ull * 4096, "firefox-esr"}));
}

TEST(ProcessTableReader, ConvertsWithTheMachinesUnitsAndLeavesKernelThreadsOutForRoot) {
    ProcessTableOptions options = fixtureOptions(1000);
    options.ticksPerSecond = 300;
    options.pageSize = 16384;
    const auto processes = ProcessTableReader(kProcFixtures / "user-session", options).read();
    ASSERT_TRUE(processes);
    EXPECT_EQ(processes->front().userNanoseconds, 40ull * 1'000'000'000 / 300);
    EXPECT_EQ(processes->front().systemNanoseconds, 22ull * 1'000'000'000 / 300);
    EXPECT_EQ(processes->front().residentBytes, 2600ull * 16384);

    const auto root = ProcessTableReader(kProcFixtures / "root-session", fixtureOptions(0)).read();
    ASSERT_TRUE(root);
    EXPECT_EQ(pidsOf(*root), (std::vector<std::int32_t>{1, 512}));
}

TEST(ProcessTableReader, DirectoryOwnerDecidesWithoutReadingAnything) {
    const fs::path root = kProcFixtures / "user-session";
    struct stat owner {};
    ASSERT_EQ(::stat((root / "proc" / "1180").c_str(), &owner), 0);
    ProcessTableOptions options = fixtureOptions(owner.st_uid);
    options.ownerCheck = ProcessOwnerCheck::directoryOwner;
    const auto everything = ProcessTableReader(root, options).read();
    ASSERT_TRUE(everything);
    // Every fixture directory belongs to whoever checked the tree out: all but the kernel
    // thread and the two unreadable processes are listed, whatever their status says.
    EXPECT_EQ(everything->size(), 19u);

    options.uid = owner.st_uid + 1;
    const auto nothing = ProcessTableReader(root, options).read();
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->empty());
}

TEST(ProcessTableReader, MissingTableIsAFailureNotAnEmptyList) {
    EXPECT_EQ(ProcessTableReader("/nonexistent-root", fixtureOptions(1000)).read(), std::nullopt);
}

// --- kept descriptors ---

TEST(ProcessStatFiles, KeepsOneDescriptorPerProcessUpToTheLimit) {
    for (const std::size_t limit : {std::size_t{64}, std::size_t{3}, std::size_t{0}}) {
        ProcessTableReader reader(kProcFixtures / "user-session", fixtureOptions(1000, limit));
        const auto first = reader.read();
        const auto second = reader.read();
        ASSERT_TRUE(first && second) << limit;
        EXPECT_EQ(*first, *second) << "limit " << limit;
        EXPECT_EQ(first->size(), 17u) << "limit " << limit;
        // One for each process whose stat could be read, the one cut short included.
        EXPECT_EQ(reader.keptDescriptors(), std::min<std::size_t>(limit, 18)) << limit;
    }
}

TEST(ProcessStatFiles, ReadAgainDropEndedProcessesAndNoticeAReusedPid) {
    const FixtureTree tree("proc/user-session");
    const fs::path root = tree.root();
    ProcessTableReader reader(root, fixtureOptions(1000));
    ASSERT_TRUE(reader.read());
    ASSERT_EQ(reader.keptDescriptors(), 18u);

    // Rewritten in place, as the kernel does: the kept descriptor sees the new content.
    tree.write(root / "proc/1502/stat", statLine(1502, "vim", 'R', 90, 2600));
    fs::remove_all(root / "proc/1800");
    // 1611 is gone and a new process has its pid: a new directory, so a new inode.
    const fs::path reused = root / "proc/1611";
    const std::string status = tree.read(reused / "status");
    fs::remove_all(reused);
    fs::create_directory(reused);
    tree.write(reused / "status", status);
    tree.write(reused / "stat", statLine(1611, "less", 'S', 3, 9000));

    const auto processes = reader.read();
    ASSERT_TRUE(processes);
    EXPECT_EQ(reader.keptDescriptors(), 17u);
    std::map<std::int32_t, ProcessSample> byPid;
    for (const ProcessSample& process : *processes) {
        byPid.emplace(process.pid, process);
    }
    ASSERT_TRUE(byPid.contains(1502) && byPid.contains(1611));
    EXPECT_EQ(byPid.at(1502).state, ProcessRunState::running);
    EXPECT_EQ(byPid.at(1502).userNanoseconds, 90 * kTick);
    EXPECT_EQ(byPid.at(1611).startTime, 9000u);
    EXPECT_EQ(byPid.at(1611).command, "less");
}

// --- names ---

TEST(SafeDisplayText, ReplacesWhatCannotBeShown) {
    const std::vector<std::pair<std::string, QString>> rows{
        {"a) b (c", QStringLiteral("a) b (c")},
        {"x\ny", QStringLiteral("x\uFFFDy")},
        {std::string("nul\0x", 5), QStringLiteral("nul\uFFFDx")},
        {"\x1b[31mred", QStringLiteral("\uFFFD[31mred")},
        {"bad\xff", QStringLiteral("bad\uFFFD")},
        {"caf\xc3\xa9", QStringLiteral("caf\u00e9")},
        {"\xe2\x80\xae"
         "evil",
         QStringLiteral("\uFFFDevil")},                  // right-to-left override
        {"\xc2\x85next", QStringLiteral("\uFFFDnext")},  // C1 control
    };
    for (const auto& [bytes, text] : rows) {
        EXPECT_EQ(safeDisplayText(bytes), text) << bytes;
    }
}

TEST(ExecutableFileName, TakesTheLastComponentOfTheLink) {
    const std::vector<std::pair<std::string, std::string>> rows{
        {"/usr/bin/konsole", "konsole"},
        {"/usr/bin/backup-tool (deleted)", "backup-tool"},
        {"/opt/My App/my app", "my app"},
        {"/usr/bin/", ""},
    };
    for (const auto& [target, name] : rows) {
        EXPECT_EQ(executableFileName(target), name) << target;
    }
}

TEST(AppUnitParser, ReadsTheDesktopIdFromTheProcessesOwnUnit) {
    const std::string user = "0::/user.slice/user-1000.slice/user@1000.service/app.slice/";
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows{
        {user + "app-gnome-firefox\\x2desr-1290.scope\n", {"firefox-esr", "gnome-firefox-esr"}},
        {user + "app-org.kde.konsole@7f3c2a.service\n", {"org.kde.konsole"}},
        {user + "app-flatpak-org.mozilla.firefox-51322.scope\n",
         {"org.mozilla.firefox", "flatpak-org.mozilla.firefox"}},
        {user + "app-KDE-org.kde.okular@0a1b.service\n", {"org.kde.okular", "KDE-org.kde.okular"}},
        // A terminal's shell: its own scope, under the terminal's slice.
        {user + "app-org.gnome.Terminal.slice/vte-spawn-5d1e8a7c.scope\n", {}},
        {user + "app-dbus\\x2d:1.2\\x2dorg.gnome.Nautilus.slice/"
                "dbus-:1.2-org.gnome.Nautilus@0.service\n",
         {}},
        {"0::/user.slice/user-1000.slice/user@1000.service/init.scope\n", {}},
        {user + "app-nonrandom.scope\n", {}},
        {user + "app-.service\n", {}},
        {user + "app-org.kde.konsole@7f3c2a.service", {}},  // no newline: cut short
        // The unified line wins over the v1 hierarchies; systemd's named one stands in alone.
        {"12:cpu:/\n1:name=systemd:/user.slice/app-gnome-gedit-1.scope\n0::" + user.substr(3) +
             "app-org.gnome.Calculator-9.scope\n",
         {"org.gnome.Calculator"}},
        {"12:cpu:/\n1:name=systemd:/user.slice/app-gnome-gedit-1.scope\n",
         {"gedit", "gnome-gedit"}},
    };
    for (const auto& [text, ids] : rows) {
        EXPECT_EQ(desktopIdsFromCgroup(text), ids) << text;
    }
}

TEST(DesktopEntryParser, ReadsNameExecAndFlagsOfTheMainGroup) {
    struct Row {
        const char* text;
        DesktopEntry entry;
    };
    const Row rows[] = {
        {"[Desktop Entry]\nType=Application\nName=Vim\nExec=vim %F\n",
         {"Vim", "vim", true, true, false}},
        {"[Desktop Entry]\nType=Application\nName=My App\nExec=\"/opt/My App/my app\" %U\n",
         {"My App", "my app", true, true, false}},
        {"[Desktop Entry]\nType=Application\nName=Mailer\nExec=python3 /usr/share/mailer.py\n",
         {"Mailer", "python3", false, true, false}},
        {"[Desktop Entry]\nType=Application\nName=Gone\nExec=gone\nHidden=true\n",
         {"Gone", "gone", true, true, true}},
        {"[Desktop Action new]\nName=New Window\nExec=other --new\n[Desktop Entry]\n"
         "Type=Application\nName=Main\nExec=main\n",
         {"Main", "main", true, true, false}},
        {"[Desktop Entry]\nType=Application\nName=Two\\sWords\\nLine\nExec=two\n",
         {"Two Words\nLine", "two", true, true, false}},
        {"Name=Outside\n[Desktop Entry]\nType=Application\nExec=x\n", {"", "x", true, true, false}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parseDesktopEntry(row.text, {}), row.entry) << row.text;
    }
}

TEST(DesktopEntryParser, PicksTheNameOfTheBestMatchingLanguage) {
    const char* text =
        "[Desktop Entry]\nType=Application\nName[de]=Dateien\nName=Files\nName[de_AT]=Dateien AT\n"
        "Name[sr@latin]=Datoteke\nName[fr]=Fichiers\nExec=nautilus\n";
    const std::vector<std::pair<std::string, std::string>> rows{
        {"de_AT.UTF-8", "Dateien AT"},
        {"de_DE.UTF-8", "Dateien"},
        {"sr_RS@latin", "Datoteke"},
        {"en_GB.UTF-8", "Files"},
    };
    for (const auto& [locale, name] : rows) {
        EXPECT_EQ(parseDesktopEntry(text, localeKeysFor(locale)).name, name) << locale;
    }
    EXPECT_EQ(localeKeysFor("sr_RS.UTF-8@latin"),
              (std::vector<std::string>{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
}

TEST(DesktopEntryCatalog, EarlierFoldersWinAndAmbiguousProgramsNameNothing) {
    const fs::path folders = kDesktopFixtures / "three-folders";
    const auto catalog = DesktopEntryCatalog::load(
        {folders / "data-home/applications", folders / "data-dir-1/applications",
         folders / "data-dir-2/applications"},
        localeKeysFor("de_AT.UTF-8"));

    const std::vector<std::pair<std::string, std::optional<QString>>> byId{
        {"org.gnome.Calculator", QStringLiteral("My Calculator")},
        {"retired", std::nullopt},  // hidden by the user's own entry
        {"kde4-konsole", QStringLiteral("Konsole (KDE 4)")},
        {"homepage", std::nullopt},  // a link, not an application
        {"org.gnome.Nautilus", QStringLiteral("Dateien (AT)")},
        {"actions-only", QStringLiteral("Actions")},
        {"org.gnome.Weather", QStringLiteral("Weather")},
        {"missing", std::nullopt},
    };
    for (const auto& [id, name] : byId) {
        EXPECT_EQ(catalog.nameForId(id), name) << id;
    }

    const std::vector<std::pair<std::string, std::optional<QString>>> byProgram{
        {"gnome-calculator", QStringLiteral("My Calculator")},
        {"nautilus", QStringLiteral("Dateien (AT)")},
        {"my app", QStringLiteral("My App")},
        {"twin", QStringLiteral("Twin")},  // two entries, one name
        {"env", std::nullopt},             // a launcher of something else
        {"retired-app", std::nullopt},
        {"other", std::nullopt},  // an action's program
    };
    for (const auto& [program, name] : byProgram) {
        EXPECT_EQ(catalog.nameForExecutable(program), name) << program;
    }
}

TEST(LinuxProcessSource, NamesProcessesByApplicationExecutableOrShortName) {
    const fs::path root = kProcFixtures / "user-session";
    LinuxProcessSource source(root, fixtureOptions(1000), {root / "usr/share/applications"}, {});
    const auto processes = source.readProcesses();
    ASSERT_TRUE(processes);
    std::map<std::int32_t, QString> names;
    for (const ProcessSample& process : *processes) {
        names.emplace(process.pid, source.nameOf(process));
    }
    const std::map<std::int32_t, QString> expected{
        {1180, "systemd"},                         // executable
        {1181, "(sd-pam)"},                        // no executable to read: the short name
        {1290, "Firefox ESR"},                     // application unit
        {1352, "Firefox ESR"},                     // a child in the same unit
        {1410, "Konsole"},                         // application service with an instance
        {1502, "Vim"},                             // desktop entry starting this program
        {1611, "python3.11"},                      // an interpreter names no application
        {1700, "Konsole"},                         // a zombie stays in its unit
        {2200, QStringLiteral("x\uFFFDy\uFFFD")},  // newline and invalid UTF-8
        {2300, "backup-tool"},                     // replaced on disk since it started
        {2400, "shared-prog"},                     // two applications claim the program
    };
    for (const auto& [pid, name] : expected) {
        EXPECT_EQ(names[pid], name) << pid;
    }
}

TEST(ProcessNameResolver, ResolvesOnceAndAgainOnlyForANewProgramOrProcess) {
    const FixtureTree tree("proc/user-session");
    const fs::path root = tree.root();
    int catalogLoads = 0;
    ProcessNameResolver resolver(root, [&] {
        ++catalogLoads;
        return DesktopEntryCatalog::load({root / "usr/share/applications"}, {});
    });
    EXPECT_EQ(catalogLoads, 0) << "read on first need only";
    EXPECT_EQ(resolver.nameOf(1502, 2600, "vim"), "Vim");
    EXPECT_EQ(catalogLoads, 1);

    // Once named, a process keeps its name without another look at its files.
    fs::remove(root / "proc/1502/exe");
    fs::create_symlink("/usr/bin/nano", root / "proc/1502/exe");
    EXPECT_EQ(resolver.nameOf(1502, 2600, "vim"), "Vim");
    // The same process after exec shows a new short name, and is named afresh.
    EXPECT_EQ(resolver.nameOf(1502, 2600, "nano"), "nano");
    // A new process under the same pid is named afresh too.
    fs::remove(root / "proc/1502/exe");
    fs::create_symlink("/usr/bin/vim", root / "proc/1502/exe");
    EXPECT_EQ(resolver.nameOf(1502, 9999, "vim"), "Vim");
    EXPECT_EQ(catalogLoads, 1);

    // Names of processes not asked for in a whole round are forgotten.
    resolver.forgetUnused();
    EXPECT_EQ(resolver.cachedCount(), 2u);
    resolver.nameOf(1502, 9999, "vim");
    resolver.forgetUnused();
    EXPECT_EQ(resolver.cachedCount(), 1u);
}

}  // namespace
