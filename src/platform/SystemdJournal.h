#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/ports/Journal.h"
#include "platform/UserFolders.h"

namespace quellstone::platform {

// The systemd journal, through libsystemd's native protocol.
class SystemdJournal final : public ports::Journal {
public:
    SystemdJournal();
    // libsystemd drops an entry without a word when no journal listens, so
    // that case is told by the journal's socket, looked for once.
    bool Send(const ports::JournalFields& fields) override;

private:
    bool running_;
};

// The device and inode of an open file.
struct StreamIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// True when `journalStream`, the value of JOURNAL_STREAM ("DEVICE:INODE" in
// decimal, set by systemd for a service whose output goes to the journal),
// names one of `streams` (those that could not be looked at are empty). A
// malformed value names none: it may be left over from a parent process.
bool NamesJournalStream(std::string_view journalStream, std::span<const std::optional<StreamIdentity>> streams);

// True when standard output or standard error is the journal's stream.
bool StandardStreamsGoToJournal(const EnvironmentReader& environment);

}  // namespace quellstone::platform
