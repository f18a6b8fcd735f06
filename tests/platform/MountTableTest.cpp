#include <gtest/gtest.h>

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
}

TEST(LocaleCalendar, WritesADate) {
    EXPECT_FALSE(LocaleCalendar().TodayShortDate().empty());
}

}  // namespace
}  // namespace quellstone::platform
