// The single-instance lock and the program folder.
#include <errno.h>
#include <gtest/gtest.h>

#include "platform/ExecutableFolder.h"
#include "platform/FlockInstanceLock.h"
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

}  // namespace
}  // namespace quellstone::platform
