#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "core/ini/IniFormat.h"
#include "core/scan/SignatureDatabase.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"
#include "platform/PosixFileStore.h"

namespace quellstone::platform {
namespace {

namespace fs = std::filesystem;

// The build puts the test programs in <build>/tests and the program with its
// data files, the database among them, in <build>/bin.
std::string ProgramFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (self.parent_path().parent_path() / "bin").string();
}

// The database the program ships with, checked as data: a faulty entry here
// is a false alarm or a silent miss on every user's machine.
class ShippedDatabaseTest : public ::testing::Test {
protected:
    ShippedDatabaseTest() : database(files, ProgramFolder()) {}

    void SetUp() override {
        const ports::FileContent content = files.ReadFile(database.DefaultPath());
        ASSERT_EQ(content.status, ports::ReadStatus::Ok) << "cannot read " << database.DefaultPath();
        bytes = content.bytes;
    }

    // Every key=value line of a section in file order, as the program's line
    // rules read them.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const {
        std::vector<std::pair<std::string, std::string>> entries;
        ini::ForEachEntryInSection(bytes, section, [&](std::string_view key, std::string_view value) {
            entries.emplace_back(std::string(key), std::string(value));
            return true;
        });
        return entries;
    }

    PosixFileStore files;
    scan::SignatureDatabase database;
    std::string bytes;
};

TEST_F(ShippedDatabaseTest, EntriesAreWellFormed) {
    // Read as Windows-1250 otherwise, the names would silently change.
    EXPECT_TRUE(text::IsValidUtf8(bytes));

    const auto entries = Entries(scan::kSignatureSection);
    ASSERT_GT(entries.size(), 150u);
    std::map<std::string, std::string> firstLineOf;
    for (const auto& [key, value] : entries) {
        // A comment line holding an equals sign is read as an entry.
        EXPECT_NE(key.front(), ';') << "comment read as an entry: " << key << '=' << value;
        // An empty value would make the name look clean.
        EXPECT_FALSE(value.empty()) << key << " has no detection name";
        // Only the first line of a key counts; a later one is dead text.
        const auto [first, inserted] = firstLineOf.emplace(text::UpperCase(key), key + '=' + value);
        EXPECT_TRUE(inserted) << key << '=' << value << " repeats " << first->second;
    }
}

TEST_F(ShippedDatabaseTest, VersionIsNumbersJoinedByDots) {
    const auto entries = Entries("Database");
    std::string version;
    for (const auto& [key, value] : entries) {
        if (text::EqualsIgnoringCase(key, "Version")) {
            version = value;
            break;
        }
    }
    ASSERT_FALSE(version.empty()) << "no [Database] Version";

    std::vector<unsigned long> numbers;
    const char* at = version.data();
    const char* const end = version.data() + version.size();
    while (true) {
        unsigned long number = 0;
        const auto [next, error] = std::from_chars(at, end, number);
        ASSERT_EQ(error, std::errc()) << version;
        numbers.push_back(number);
        if (next == end) break;
        ASSERT_EQ(*next, '.') << version;
        at = next + 1;
    }
    EXPECT_GE(numbers.size(), 3u) << version;
}

// Every name under the folders the system itself fills, hidden ones included,
// looked up the way a scan looks names up. Any match would be a false alarm on
// every machine that has the file. Links are not followed and other file
// systems are not entered, so the walk stays on this machine's own files.
TEST_F(ShippedDatabaseTest, NoFileOrFolderOfTheSystemMatches) {
    const auto index = database.IndexInUse();
    ASSERT_EQ(index->LoadStatus(), scan::SignatureIndex::Status::Loaded);

    std::vector<std::string> matches;
    std::vector<std::string> walkErrors;
    std::size_t looked = 0;
    std::string upperName;
    for (const char* root : {"/usr", "/etc", "/opt"}) {
        struct stat rootStat {};
        if (::lstat(root, &rootStat) != 0 || !S_ISDIR(rootStat.st_mode)) continue;
        std::error_code error;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            const fs::path& path = it->path();
            text::UpperCaseInto(path.filename().native(), upperName);
            ++looked;
            if (const std::string_view found = index->Find(scan::LookupKeyOf(upperName), path.native()); !found.empty()) {
                matches.push_back(path.string() + " -> " + std::string(found));
            }
            struct stat entryStat {};
            if (::lstat(path.c_str(), &entryStat) == 0 && S_ISDIR(entryStat.st_mode) &&
                entryStat.st_dev != rootStat.st_dev) {
                it.disable_recursion_pending();
            }
        }
        if (error) walkErrors.push_back(std::string(root) + ": " + error.message());
    }

    EXPECT_THAT(matches, ::testing::IsEmpty());
    // A walk cut short would pass without having looked.
    EXPECT_THAT(walkErrors, ::testing::IsEmpty());
    EXPECT_GT(looked, 1000u);
}

}  // namespace
}  // namespace quellstone::platform
