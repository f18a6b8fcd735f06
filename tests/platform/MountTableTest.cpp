#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/TimeText.h"
#include "platform/LocaleCalendar.h"
#include "platform/ProcMountTable.h"

namespace quellstone::platform {
namespace {

// Mount points with their types, in table order.
std::vector<std::string> Listed(std::string_view table) {
    std::vector<std::string> listed;
    for (const ports::MountedFileSystem& mount : MountedFileSystems(table))
        listed.push_back(mount.mountPoint + " " + mount.type);
    return listed;
}

TEST(MountTable, ListsEveryMountOnceInTableOrder) {
    EXPECT_EQ(
        Listed("proc /proc proc rw 0 0\n"
               "/dev/sda2 / ext4 rw 0 0\n"
               "tmpfs /tmp tmpfs rw 0 0\n"
               "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
               "systemd-1 /boot/efi autofs rw 0 0\n"
               "/dev/sda1 /boot/efi vfat rw 0 0\n"  // mounted over the automount point
               "/dev/sda2 / ext4 rw 0 0\n"
               "garbage\n"),
        (std::vector<std::string>{"/proc proc", "/ ext4", "/tmp tmpfs", "/media/u/USB STICK vfat", "/boot/efi vfat"}));
}

TEST(MountTable, UndoesTheKernelsEscapesAndSkipsWhatIsNoMount) {
    const auto listed = Listed(
        "#remote:/share /mnt/hash fuse.sshfs rw 0 0\n"  // a source that begins with "#" is no comment
        "\n"
        "/dev/sdc1 /media/u/tab\\011and\\134slash ext4 rw 0 0\n"
        "/dev/sdc2 /media/u/ends\\040with\\040 ext4 rw 0 0\n"
        "/dev/sdc3 /media/u/line\\012break xfs rw 0 0\n"
        "/dev/sdc4 /media/u/last ext4 rw,with,a,very," +
        std::string(100000, 'o') +
        " 0 0\n"
        "/dev/sdc5 /after/a/long/line btrfs rw 0 0");
    EXPECT_EQ(listed, (std::vector<std::string>{"/mnt/hash fuse.sshfs", "/media/u/tab\tand\\slash ext4",
                                                "/media/u/ends with  ext4", "/media/u/line\nbreak xfs",
                                                "/media/u/last ext4", "/after/a/long/line btrfs"}));
    EXPECT_TRUE(MountedFileSystems("").empty());
}

TEST(LocaleCalendar, WritesAnIsoDate) {
    const std::string today = LocaleCalendar().TodayIsoDate();
    // Read back as a stored date: the German form differs from it.
    EXPECT_NE(text::StoredTimeInLanguage(today, text::FormatOf("Deutsch")), today) << today;
}

}  // namespace
}  // namespace quellstone::platform
