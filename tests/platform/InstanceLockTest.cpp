// The single-instance lock and the program folder.
#include <errno.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ExecutableFolder.h"
#include "platform/FlockInstanceLock.h"
#include "platform/InstallLayout.h"
#include "support/TempDir.h"

namespace quellstone::platform {
namespace {

TEST(InstanceLock, OnlyALockHeldElsewhereRefusesTheSecondCopy) {
    EXPECT_EQ(ClassifyFlockError(EWOULDBLOCK), FlockRefusal::AnotherInstance);
    // File systems without flock support: the program runs unguarded.
    for (const int error : {ENOLCK, EOPNOTSUPP, ENOTSUP, EINVAL, EBADF, EIO}) {
        EXPECT_EQ(ClassifyFlockError(error), FlockRefusal::RunUnguarded) << error;
    }

    quellstone::testing::TempDir dir;
    FlockInstanceLock first(dir / "Quellstone.lock");
    FlockInstanceLock second(dir / "Quellstone.lock");
    EXPECT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.TryAcquire());  // held already
    EXPECT_FALSE(second.TryAcquire());
    // A lock file that cannot be made at all does not keep the program from starting.
    FlockInstanceLock nowhere(dir / "missing/folder/Quellstone.lock");
    EXPECT_TRUE(nowhere.TryAcquire());
}

TEST(ExecutableFolder, IsTheExecutablesFolderOrNothing) {
    const auto reading = [](std::optional<std::string> target) {
        return [target](const std::string& link) {
            EXPECT_EQ(link, "/proc/self/exe");
            return target;
        };
    };
    EXPECT_EQ(ExecutableFolder(reading("/opt/quellstone/quellstone-cli")), "/opt/quellstone");
    EXPECT_EQ(ExecutableFolder(reading("/quellstone")), "/");
    // No link to read (no /proc), or nothing usable in it: no folder, never the current one.
    EXPECT_EQ(ExecutableFolder(reading(std::nullopt)), std::nullopt);
    EXPECT_EQ(ExecutableFolder(reading("")), std::nullopt);
    EXPECT_EQ(ExecutableFolder(reading("quellstone-cli")), std::nullopt);

    // The real link names this test's own folder.
    const std::optional<std::string> real = ExecutableFolder();
    ASSERT_TRUE(real);
    EXPECT_TRUE(real->ends_with("/tests")) << *real;
}

// Installed under any prefix, unpacked from the package anywhere, or run from
// the build folder: the data and vendor.ini are found from the programs' folder.
TEST(InstallLayout, FindsTheDataAndTheConfigurationFromTheProgramsFolder) {
    const struct {
        const char* programs;
        std::vector<std::string> files;
        const char* data;
        const char* vendor;
    } cases[] = {
        {"/usr/bin",
         {"/usr/share/quellstone/bdts.dll", "/etc/quellstone/vendor.ini"},
         "/usr/share/quellstone",
         "/etc/quellstone/vendor.ini"},
        {"/tmp/x/usr/bin",
         {"/tmp/x/usr/share/quellstone/bdts.dll", "/tmp/x/etc/quellstone/vendor.ini"},
         "/tmp/x/usr/share/quellstone",
         "/tmp/x/etc/quellstone/vendor.ini"},
        {"/usr/local/bin",
         {"/usr/local/share/quellstone/bdts.dll", "/usr/local/etc/quellstone/vendor.ini"},
         "/usr/local/share/quellstone",
         "/usr/local/etc/quellstone/vendor.ini"},
        // No configured copy: the one beside the data.
        {"/opt/q/bin",
         {"/opt/q/share/quellstone/bdts.dll"},
         "/opt/q/share/quellstone",
         "/opt/q/share/quellstone/vendor.ini"},
        // The build folder: everything beside the programs, whatever /etc holds.
        {"/work/build/bin",
         {"/work/build/bin/bdts.dll", "/etc/quellstone/vendor.ini"},
         "/work/build/bin",
         "/work/build/bin/vendor.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programs);
        const InstallLayout layout = FindInstallLayout(
            c.programs, [&](const std::string& path) { return std::ranges::find(c.files, path) != c.files.end(); });
        EXPECT_EQ(layout.dataFolder, c.data);
        EXPECT_EQ(layout.vendorFile, c.vendor);
    }
}

}  // namespace
}  // namespace quellstone::platform
