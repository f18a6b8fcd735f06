#include "core/autostart/AutostartReader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "core/autostart/CronTable.h"
#include "core/autostart/DesktopEntry.h"
#include "core/autostart/PreloadList.h"
#include "core/autostart/StartedProgram.h"
#include "core/autostart/UnitFile.h"

namespace quellstone::autostart {

namespace {

using Parser = std::vector<StartedProgram> (*)(std::string_view);

std::vector<StartedProgram> ParseUserCronTable(std::string_view text) {
    return ParseCronTable(text, CronTableKind::User);
}
std::vector<StartedProgram> ParseSystemCronTable(std::string_view text) {
    return ParseCronTable(text, CronTableKind::System);
}

enum class Layout {
    File,        // the place is one file
    Folder,      // the files in the folder
    UnitFolder,  // the files in the folder and in its unit subfolders
};

struct Place {
    std::string_view path;  // under the home folder when `inHome`, else under the root
    bool inHome;
    Layout layout;
    Parser parse;
    bool wholeFile;
    std::string_view suffix;  // only names that end so are read
};

constexpr Place kPlaces[] = {
    {"/etc/systemd/system", false, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/run/systemd/system", false, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/usr/lib/systemd/system", false, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/etc/systemd/user", false, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/usr/lib/systemd/user", false, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/.config/systemd/user", true, Layout::UnitFolder, ParseUnitFile, true, {}},
    {"/etc/crontab", false, Layout::File, ParseSystemCronTable, false, {}},
    {"/etc/cron.d", false, Layout::Folder, ParseSystemCronTable, true, {}},
    {"/var/spool/cron/crontabs", false, Layout::Folder, ParseUserCronTable, false, {}},
    {"/var/spool/cron", false, Layout::Folder, ParseUserCronTable, false, {}},
    {"/etc/xdg/autostart", false, Layout::Folder, ParseDesktopEntry, true, ".desktop"},
    {"/.config/autostart", true, Layout::Folder, ParseDesktopEntry, true, ".desktop"},
    {"/etc/ld.so.preload", false, Layout::File, ParsePreloadList, false, {}},
};

// The subfolders of a unit folder that the service manager reads units from.
constexpr std::array<std::string_view, 4> kUnitSubfolderSuffixes = {".wants", ".requires", ".upholds", ".d"};

// The file a masking link leads to. The link is absolute, so it leads to the
// running system's one whatever the root.
constexpr std::string_view kMaskTarget = "/dev/null";

bool IsUnitSubfolder(std::string_view name) {
    for (const std::string_view suffix : kUnitSubfolderSuffixes) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) return true;
    }
    return false;
}

// `path` with one "/" in front and none at the end: "" for the root.
std::string AsPrefix(std::string_view path) {
    while (path.ends_with('/')) path.remove_suffix(1);
    while (path.starts_with('/')) path.remove_prefix(1);
    return path.empty() ? std::string() : "/" + std::string(path);
}

class Reader {
public:
    Reader(ports::DirectoryTree& tree, ports::FileStore& files) : tree_(tree), files_(files) {}

    void Read(const Place& place, const std::string& path) {
        if (place.layout == Layout::File) {
            ReadFile(place, path);
            return;
        }
        std::unique_ptr<ports::Directory> folder = tree_.OpenFolder(path);
        if (!folder) {
            if (tree_.Look(path).kind != ports::PathFound::Kind::Missing) NotRead(path);
            return;
        }
        ReadFolder(place, *folder, path, place.layout == Layout::UnitFolder);
    }

    AutostartList Result() && { return std::move(result_); }

private:
    void ReadFolder(const Place& place, ports::Directory& folder, const std::string& path, bool withSubfolders) {
        ports::DirectoryListing listing;
        if (!folder.List(listing)) NotRead(path);
        for (std::size_t i = 0; i < listing.Size(); ++i) {
            const std::string_view name = listing.Name(i);
            if (name == "." || name == "..") continue;
            ports::EntryKind kind = listing.Kind(i);
            if (kind == ports::EntryKind::Unknown) {
                const std::optional<ports::EntryStatus> status = folder.Status(name);
                kind = status ? status->kind : ports::EntryKind::RegularFile;
            }
            const std::string entryPath = path + "/" + std::string(name);
            if (kind == ports::EntryKind::Folder) {
                if (withSubfolders && IsUnitSubfolder(name)) ReadSubfolder(place, folder, name, entryPath);
            } else if (kind != ports::EntryKind::Other && name.ends_with(place.suffix)) {
                ReadFile(place, entryPath);
            }
        }
    }

    void ReadSubfolder(const Place& place, ports::Directory& folder, std::string_view name, const std::string& path) {
        std::unique_ptr<ports::Directory> subfolder = folder.OpenSubfolder(name);
        if (subfolder) {
            ReadFolder(place, *subfolder, path, false);
        } else {
            NotRead(path);
        }
    }

    void ReadFile(const Place& place, const std::string& path) {
        // A larger file is not even read: a link may lead anywhere.
        if (const std::optional<ports::FileStamp> stamp = files_.Stamp(path);
            stamp && stamp->size > kMaxAutostartFileSize) {
            NotRead(path);
            return;
        }
        const ports::FileContent content = files_.ReadFile(path);
        if (content.status == ports::ReadStatus::Missing) return;
        if (content.status != ports::ReadStatus::Ok) {
            if (!IsMasked(path)) NotRead(path);
            return;
        }
        if (content.bytes.size() > kMaxAutostartFileSize) {
            NotRead(path);
            return;
        }
        std::vector<StartedProgram> programs = place.parse(content.bytes);
        // A file is removed whole only while all it starts stands on one line:
        // a unit or a table that holds other commands too is edited by hand.
        const bool oneLine = std::ranges::all_of(
            programs, [&](const StartedProgram& started) { return started.line == programs.front().line; });
        for (StartedProgram& started : programs) {
            result_.entries.push_back({path, started.line, std::move(started.program), place.wholeFile && oneLine});
        }
    }

    // Whether `path` leads to the mask target: a read of it fails, as the
    // target is no regular file.
    bool IsMasked(const std::string& path) {
        if (!maskIdentity_) {
            const std::optional<ports::FileStamp> target = files_.Stamp(std::string(kMaskTarget));
            maskIdentity_.emplace(target ? std::optional(target->identity) : std::nullopt);
        }
        if (!*maskIdentity_) return false;
        const std::optional<ports::FileStamp> stamp = files_.Stamp(path);
        return stamp && stamp->identity == **maskIdentity_;
    }

    void NotRead(const std::string& path) {
        ++result_.notRead;
        result_.notReadPaths.push_back(path);
    }

    ports::DirectoryTree& tree_;
    ports::FileStore& files_;
    std::optional<std::optional<ports::EntryIdentity>> maskIdentity_;  // read once, when first needed
    AutostartList result_;
};

}  // namespace

AutostartList ReadAutostart(ports::DirectoryTree& tree, ports::FileStore& files, std::string_view root,
                            std::string_view home) {
    const std::string rootPath = AsPrefix(root);
    const std::string homePath = home.empty() ? std::string() : rootPath + AsPrefix(home);
    Reader reader(tree, files);
    for (const Place& place : kPlaces) {
        if (place.inHome && homePath.empty()) continue;
        reader.Read(place, (place.inHome ? homePath : rootPath) + std::string(place.path));
    }
    return std::move(reader).Result();
}

}  // namespace quellstone::autostart
