#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/DirectoryTree.h"
#include "core/ports/FileStore.h"

namespace quellstone::autostart {

// A program that starts by itself, and where that is said.
struct AutostartEntry {
    std::string file;      // the file that names it, the root put before its place
    std::size_t line = 0;  // from 1
    std::string program;   // as the file writes it: an absolute path or a bare name
    // The file does nothing but start this (a unit file, a desktop autostart
    // file, a file of /etc/cron.d, each with its commands on this one line),
    // so removing the file removes the entry.
    // False for a line of a file that holds other entries as well (the
    // system's and users' cron tables, the preload list): reported only.
    bool wholeFile = false;

    bool operator==(const AutostartEntry&) const = default;
};

struct AutostartList {
    std::vector<AutostartEntry> entries;
    // Files and folders that exist but could not be read (no permission,
    // larger than kMaxAutostartFileSize, a listing cut short), and their paths.
    std::size_t notRead = 0;
    std::vector<std::string> notReadPaths;
};

// A larger file is not read: none of the formats needs so much.
inline constexpr std::size_t kMaxAutostartFileSize = 1024 * 1024;

// Where the system keeps what starts by itself, each place with the files
// it holds read as their format says:
// - the service manager's unit folders, system and user (/etc/systemd/system,
//   /run/systemd/system, /usr/lib/systemd/system, /etc/systemd/user,
//   /usr/lib/systemd/user, HOME/.config/systemd/user): every file in them
//   and in their *.wants, *.requires, *.upholds and *.d subfolders (one level:
//   the service manager reads no deeper). A unit masked by a link to
//   /dev/null starts nothing and is passed over;
// - cron: /etc/crontab and /etc/cron.d/* (system tables), and the users'
//   tables in /var/spool/cron/crontabs/* and /var/spool/cron/* (the two
//   layouts distributions use);
// - desktop sessions: /etc/xdg/autostart/*.desktop, HOME/.config/autostart/*.desktop;
// - the dynamic loader's /etc/ld.so.preload.
// Hidden files are read too. A place that does not exist is simply absent.
//
// `root` is put before every place ("" or "/" for the running system); `home`
// is the user's home folder as seen from that root ("" when unknown: the
// user's places are left out). Files are read through `files` (a link is
// followed; a FIFO or a device is not opened) and folders listed through
// `tree`. Entries come in the order above, each folder in listing order.
AutostartList ReadAutostart(ports::DirectoryTree& tree, ports::FileStore& files, std::string_view root,
                            std::string_view home);

}  // namespace quellstone::autostart
