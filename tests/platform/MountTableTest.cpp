#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/LocaleCalendar.h"
#include "platform/ProcMountTable.h"

namespace quellstone::platform {
namespace {

TEST(MountTable, KeepsStorageFileSystemsInTableOrder) {
    const auto points = StorageMountPoints(
        "proc /proc proc rw 0 0\n"
        "/dev/sda2 / ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/sda2 / ext4 rw 0 0\n"
        "garbage\n");
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/media/u/USB STICK", "/boot/efi"}));
    // Every mount point, when the walk must know where something is mounted (automounts too).
    EXPECT_EQ(AllMountPoints("proc /proc proc rw 0 0\nsystemd-1 /boot/efi autofs rw 0 0\n/dev/sda2 / ext4 rw 0 0\n"),
              (std::vector<std::string>{"/proc", "/boot/efi", "/"}));
}

TEST(MountTable, UndoesTheKernelsEscapesAndSkipsWhatIsNoMount) {
    const auto points = StorageMountPoints(
        "#remote:/share /mnt/hash fuse.sshfs rw 0 0\n"  // a source that begins with "#" is no comment
        "\n"
        "/dev/sdc1 /media/u/tab\\011and\\134slash ext4 rw 0 0\n"
        "/dev/sdc2 /media/u/ends\\040with\\040 ext4 rw 0 0\n"
        "/dev/sdc3 /media/u/line\\012break xfs rw 0 0\n"
        "/dev/sdc4 /media/u/last ext4 rw,with,a,very," +
        std::string(100000, 'o') +
        " 0 0\n"
        "/dev/sdc5 /after/a/long/line btrfs rw 0 0");
    EXPECT_EQ(points, (std::vector<std::string>{"/mnt/hash", "/media/u/tab\tand\\slash", "/media/u/ends with ",
                                                "/media/u/line\nbreak", "/media/u/last", "/after/a/long/line"}));
    EXPECT_TRUE(StorageMountPoints("").empty());
}

TEST(LocaleCalendar, WritesADate) {
    EXPECT_FALSE(LocaleCalendar().TodayShortDate().empty());
}

}  // namespace
}  // namespace quellstone::platform
