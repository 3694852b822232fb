#include "platform/linux/filesystem/FilesystemTypesReader.h"
#include "platform/linux/filesystem/LinuxStorageSource.h"
#include "platform/linux/filesystem/MountinfoReader.h"
#include "platform/linux/filesystem/UserDirsReader.h"
#include "platform/linux/filesystem/VolumeMountSelection.h"
#include "platform/linux/storage/DiskLabelReader.h"
#include "platform/linux/storage/DiskstatsReader.h"
#include "platform/linux/storage/LinuxDiskSource.h"
#include "platform/linux/storage/PhysicalDiskFilter.h"
#include "platform/linux/storage/VolumeCapacityReader.h"
#include "providers/StorageScan.h"
#include "support/FixtureTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(VANTREL_FIXTURES_DIR) / "disk";
constexpr std::uint64_t kSector = 512;

std::vector<std::string> namesOf(const std::vector<BlockDeviceCounters>& counters) {
    std::vector<std::string> names;
    for (const auto& device : counters) {
        names.push_back(device.name);
    }
    return names;
}

// ---- /proc/diskstats ----

TEST(DiskstatsParser, TakesSectorsFromKernelsOfEveryAge) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<DiskstatsEntry> expected;
    };
    const std::vector<Case> cases{
        {"13 fields: cut short", "   8       0 sda 10 0 300 0 20 0 700 0 0 0\n", {}},
        {"14 fields (before 4.18)",
         "   8       0 sda 10 0 300 0 20 0 700 0 0 0 0\n",
         {{"sda", 300 * kSector, 700 * kSector}}},
        {"20 fields with flushes",
         " 259 0 nvme0n1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n",
         {{"nvme0n1", 3 * kSector, 7 * kSector}}},
        {"negative counter", "   8 0 sda 1 0 -3 0 0 0 7 0 0 0 0 0 0 0\n", {}},
        {"counter beyond 64 bits",
         "   8 0 sda 1 0 99999999999999999999 0 0 0 7 0 0 0 0 0 0 0\n",
         {}},
        {"last line cut short", "   8 0 sda 1 0 3 0 0 0 7 0 0 0 0 0 0 0", {}},
        {"sector count near the top saturates",
         "   8 0 sda 1 0 18446744073709551615 0 0 0 0 0 0 0 0 0 0 0\n",
         {{"sda", UINT64_MAX, 0}}},
        {"tabs and padding",
         "\t8\t0\tsda\t1 0 4 0 0 0 8 0 0 0 0 0 0 0\n",
         {{"sda", 4 * kSector, 8 * kSector}}},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(parseDiskstats(row.text), row.expected) << row.what;
    }
}

TEST(PhysicalDiskFilter, CountsOnlyWholeVisibleDisksWithADevice) {
    const fs::path root = kFixtures / "nvme-multipath-lvm-zram";
    const std::vector<std::pair<const char*, bool>> cases{
        {"nvme0n1", true},     // the multipath head
        {"nvme0c0n1", false},  // hidden path of the same namespace
        {"nvme0n1p1", false},  // partition: not in /sys/block
        {"sr0", true},        {"dm-0", false}, {"loop0", false},
        {"zram0", false},  // no device link
        {"", false},          {"..", false},   {"../block/sda", false},
    };
    for (const auto& [name, counted] : cases) {
        EXPECT_EQ(isPhysicalDisk(root, name), counted) << name;
    }
}

TEST(LinuxDiskSource, SumsOnlyPhysicalDisksFromTheFixture) {
    struct Case {
        const char* fixture;
        std::vector<BlockDeviceCounters> expected;
    };
    const std::vector<Case> cases{
        {"nvme-multipath-lvm-zram",
         {{"nvme0n1", 30218774 * kSector, 61933208 * kSector},
          {"sda", 11832032 * kSector, 6204872 * kSector},
          {"sr0", 96 * kSector, 0}}},
        {"virtio-vm", {{"vda", 3873946 * kSector, 14506104 * kSector}}},
    };
    for (const Case& row : cases) {
        LinuxDiskSource source(kFixtures / row.fixture);
        EXPECT_EQ(source.blockDeviceCounters(), std::optional(row.expected)) << row.fixture;
    }
}

TEST(LinuxDiskSource, LooksUpTheDiskSetOnlyWhenTheNamesChange) {
    const FixtureTree tree("disk/nvme-multipath-lvm-zram");
    const fs::path root = tree.root();
    LinuxDiskSource source(root);

    auto names = [&] { return namesOf(source.blockDeviceCounters().value()); };
    EXPECT_EQ(names(), (std::vector<std::string>{"nvme0n1", "sda", "sr0"}));
    EXPECT_EQ(names(), (std::vector<std::string>{"nvme0n1", "sda", "sr0"}));
    EXPECT_EQ(source.physicalDiskLookups(), 1);

    // A USB disk arrives: a new diskstats name and its sysfs entry.
    const fs::path usb = root / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/block/sdb";
    fs::create_directories(usb);
    fs::create_directory_symlink("../../..", usb / "device");
    tree.write(usb / "hidden", "0\n");
    fs::create_directory_symlink("../devices/pci0000:00/0000:00:14.0/usb1/1-1/block/sdb",
                                 root / "sys/block/sdb");
    std::ofstream(root / "proc/diskstats", std::ios::app)
        << "   8      16 sdb 40 0 2048 3 1 0 8 0 0 4 3 0 0 0 0 0 0\n";
    EXPECT_EQ(names(), (std::vector<std::string>{"nvme0n1", "sda", "sr0", "sdb"}));
    EXPECT_EQ(source.physicalDiskLookups(), 2);

    EXPECT_EQ(LinuxDiskSource(kFixtures / "no-such-case").blockDeviceCounters(), std::nullopt);
}

// ---- /proc/self/mountinfo and /proc/filesystems ----

TEST(MountEscapes, DecodeOctalBytesOnly) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {"/media/alice/KINGSTON\\040USB", "/media/alice/KINGSTON USB"},
        {"/mnt/back\\134slash", "/mnt/back\\slash"},
        {"/mnt/short\\04", "/mnt/short\\04"},
        {"/mnt/too\\777big", "/mnt/too\\777big"},
        {"/mnt/nul\\000byte", "/mnt/nul\\000byte"},
        {"\\", "\\"},
    };
    for (const auto& [escaped, decoded] : cases) {
        EXPECT_EQ(decodeMountEscapes(escaped), decoded) << escaped;
    }
}

TEST(MountinfoParser, ReadsFieldsAroundTheOptionalOnes) {
    const auto entries = parseMountinfo(
        "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n"
        "37 35 98:1 / /no/optional rw - ext4 /dev/sdz1 rw\n"
        "38 35 0:50 / /run/user/1000/remote rw shared:3 master:2 - fuse.sshfs  rw\n"
        "39 35 98:x / /bad/device rw - ext4 /dev/sdz2 rw\n"
        "40 35 98:2 / /no/separator rw shared:4 ext4 /dev/sdz3 rw\n"
        "41 35 98:3 / /cut/short rw - ext4\n"
        "42 35 98:4 / /last/line/without/newline rw - ext4 /dev/sdz4 rw");
    const std::vector<MountEntry> expected{
        {36, 35, 98, 0, "/mnt1", "/mnt2", "ext3", "/dev/root"},
        {37, 35, 98, 1, "/", "/no/optional", "ext4", "/dev/sdz1"},
        {38, 35, 0, 50, "/", "/run/user/1000/remote", "fuse.sshfs", ""},
    };
    EXPECT_EQ(entries, expected);
}

TEST(FilesystemTypes, ListsOnlyNodevTypes) {
    const auto types = readNodevFilesystems(kFixtures / "usb-stick-and-binds");
    for (const char* pseudo : {"proc", "tmpfs", "fuse", "nfs4"}) {
        EXPECT_TRUE(types.contains(pseudo)) << pseudo;
    }
    for (const char* real : {"ext4", "fuseblk", "squashfs", "nodev"}) {
        EXPECT_FALSE(types.contains(real)) << real;
    }
    EXPECT_EQ(parseNodevFilesystems("nodev\tproc\n\text4\nnodev\n\tnodev\nnodev\tcut"),
              (std::set<std::string, std::less<>>{"proc"}));
}

// ---- which mounts are volumes ----

MountEntry mount(unsigned major, unsigned minor, std::string root, std::string point,
                 std::string type, std::string source) {
    return {
        1, 1, major, minor, std::move(root), std::move(point), std::move(type), std::move(source)};
}

std::vector<std::string> mountPoints(const std::vector<MountEntry>& mounts) {
    std::vector<std::string> points;
    for (const auto& entry : mounts) {
        points.push_back(entry.mountPoint);
    }
    return points;
}

TEST(VolumeMountSelection, KeepsOneVisibleMountPerRealDevice) {
    const std::set<std::string, std::less<>> nodev{"proc", "tmpfs", "fuse", "nfs4", "overlay"};
    const auto root = mount(259, 2, "/", "/", "btrfs", "/dev/nvme0n1p2");
    struct Case {
        const char* what;
        std::vector<MountEntry> mounts;
        std::vector<std::string> expected;
        std::set<std::string, std::less<>> nodevTypes;
    };
    const std::vector<Case> cases{
        {"pseudo file systems and subtypes",
         {root, mount(0, 21, "/", "/proc", "proc", "proc"),
          mount(0, 40, "/", "/mnt/remote", "fuse.sshfs", "me@host:"),
          mount(0, 41, "/", "/mnt/nas", "nfs4", "nas:/export")},
         {},
         nodev},
        {"btrfs subvolume of the root disk on an anonymous device",
         {root, mount(0, 33, "/@home", "/home", "btrfs", "/dev/nvme0n1p2")},
         {},
         nodev},
        {"snap and erofs images on loop devices, but not an ext4 image",
         {root, mount(7, 0, "/", "/snap/core22/1033", "squashfs", "/dev/loop0"),
          mount(7, 1, "/", "/run/img", "erofs", "/dev/loop1"),
          mount(7, 2, "/", "/mnt/disk-image", "ext4", "/dev/loop2"),
          mount(8, 1, "/", "/mnt/live", "squashfs", "/dev/sda1")},
         {"/mnt/disk-image", "/mnt/live"},
         nodev},
        {"a later mount on the same point hides the earlier",
         {root, mount(8, 1, "/", "/mnt/x", "ext4", "/dev/sda1"),
          mount(8, 17, "/", "/mnt/x", "ext4", "/dev/sdb1")},
         {"/mnt/x"},
         nodev},
        {"a bind of a folder gives way to the whole file system, wherever it comes",
         {root, mount(8, 1, "/photos", "/home/a/photos", "ext4", "/dev/sda1"),
          mount(8, 1, "/", "/media/a/Disk", "ext4", "/dev/sda1"),
          mount(8, 1, "/music", "/home/a/music", "ext4", "/dev/sda1")},
         {"/media/a/Disk"},
         nodev},
        {"unknown nodev list: only device nodes",
         {root, mount(0, 21, "/", "/proc", "proc", "proc"),
          mount(8, 1, "/", "/mnt/a", "ext4", "/dev/sda1")},
         {"/mnt/a"},
         {}},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(mountPoints(selectVolumeMounts(row.mounts, row.nodevTypes)), row.expected)
            << row.what;
    }
    const auto kept = selectVolumeMounts(cases[3].mounts, nodev);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].minor, 17u);
}

// ---- sysfs and udev facts about devices ----

TEST(DiskLabels, DecodeUdevNamesAndMapKernelNames) {
    EXPECT_EQ(decodeUdevEscapes("Data\\x20Disk"), "Data Disk");
    EXPECT_EQ(decodeUdevEscapes("a\\x2fb\\x5cc"), "a/b\\c");
    EXPECT_EQ(decodeUdevEscapes("nul\\x00"), "nul\\x00");
    const auto labels = readDiskLabels(kFixtures / "usb-stick-and-binds");
    EXPECT_EQ(labels,
              (std::map<std::string, std::string, std::less<>>{
                  {"nvme0n1p2", "ubuntu-root"}, {"sdb1", "Data Disk"}, {"sdc1", "KINGSTON USB"}}));
    EXPECT_TRUE(readDiskLabels(kFixtures / "virtio-vm").empty());
}

// ---- the volume list of the laptop fixture ----

TEST(LinuxStorageSource, DescribesTheLaptopsVolumes) {
    StorageLocations locations;
    locations.systemRoot = kFixtures / "usb-stick-and-binds";
    std::vector<fs::path> asked;
    LinuxStorageSource source(locations, [&](const fs::path& path) {
        asked.push_back(path);
        return std::optional(VolumeCapacity{1000, 400, 400, 400});
    });
    const std::vector<VolumeDescription> volumes = source.mountedVolumes();

    struct Expected {
        QString path, name;
        bool internal, removable;
    };
    const std::vector<Expected> expected{
        {"/boot/efi", "efi", true, false},
        {"/mnt/data", "Data Disk", true, false},
        {"/media/alice/Backup Drive", "Backup Drive", false, true},
        {"/media/alice/KINGSTON USB", "KINGSTON USB", false, true},
    };
    ASSERT_EQ(volumes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].path.toStdString());
        EXPECT_EQ(volumes[i].path, expected[i].path);
        EXPECT_EQ(volumes[i].name, expected[i].name);
        EXPECT_EQ(volumes[i].isInternal, expected[i].internal);
        EXPECT_EQ(volumes[i].isRemovable, expected[i].removable);
        EXPECT_EQ(volumes[i].isRootFileSystem, false);
        EXPECT_EQ(volumes[i].totalBytes, 1000);
    }
    // statvfs goes under the system root, and only to the listed volumes: never a network
    // share or a pseudo file system.
    ASSERT_EQ(asked.size(), expected.size());
    EXPECT_EQ(asked[3], locations.systemRoot / "media/alice/KINGSTON USB");
}

// ---- user folders ----

TEST(UserDirs, FollowTheXdgUserDirsFormat) {
    const fs::path fixture = kFixtures / "custom-user-dirs";
    const fs::path home = "/home/alice";
    const auto folders = readUserDirs(fixture / "home/alice/.config", home);
    const std::map<std::string, fs::path, std::less<>> expected{
        {"DESKTOP", "/home/alice"},
        {"DOWNLOAD", "/home/alice/Téléchargements"},
        {"TEMPLATES", "/home/alice/Modèles"},
        {"PUBLICSHARE", "/home/alice/Public"},
        {"DOCUMENTS", "/home/alice/My \"Papers\""},
        {"MUSIC", "/srv/media/music"},
        {"PICTURES", "/home/alice/Photos"},
    };
    EXPECT_EQ(folders, expected);
    EXPECT_TRUE(readUserDirs(fixture / "nowhere", home).empty());
    EXPECT_TRUE(parseUserDirs("XDG_MUSIC_DIR=\"$HOMEWORK/x\"\nXDG__DIR=\"/x\"\n"
                              "XDG_X_DIR=\"/a\" trailing\nMUSIC=\"/m\"\n",
                              home)
                    .empty());
}

TEST(UserDirs, MakeTheCategoryTableWithoutCountingTheWholeHome) {
    StorageLocations locations{"/home/alice", "/home/alice/.config", "/"};
    const auto folders = parseUserDirs(
        "XDG_DESKTOP_DIR=\"$HOME/\"\nXDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n"
        "XDG_MUSIC_DIR=\"/\"\nXDG_VIDEOS_DIR=\"/home\"\n",
        locations.home);
    const auto table = linuxCategoryTable(locations, folders);

    std::map<QString, std::vector<fs::path>> byName;
    for (const auto& row : table) {
        byName[row.name] = row.folders;
    }
    EXPECT_EQ(byName["Desktop"], std::vector<fs::path>{});  // the home itself
    EXPECT_EQ(byName["Music"], std::vector<fs::path>{});    // above the home
    EXPECT_EQ(byName["Movies"], std::vector<fs::path>{});
    EXPECT_EQ(byName["Downloads"], std::vector<fs::path>{"/home/alice/Téléchargements"});
    EXPECT_EQ(byName["Applications"], (std::vector<fs::path>{"/opt", "/var/lib/flatpak",
                                                             "/home/alice/.local/share/flatpak"}));

    // No home folder at all: nothing relative is ever walked.
    const auto homeless = linuxCategoryTable(StorageLocations{"", "", "/"}, {});
    for (const auto& row : homeless) {
        for (const auto& folder : row.folders) {
            EXPECT_TRUE(folder.is_absolute()) << folder;
        }
    }
}

TEST(VolumeCapacity, AMissingFolderHasNone) {
    EXPECT_EQ(readVolumeCapacity("/no/such/folder"), std::nullopt);
}

}  // namespace
