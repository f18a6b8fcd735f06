#include "platform/SystemdJournal.h"

#include <sys/stat.h>
#include <sys/uio.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace quellstone::platform {

namespace {

// A whole decimal number, nothing before or after it.
std::optional<std::uint64_t> DecimalNumber(std::string_view text) {
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

std::optional<StreamIdentity> IdentityOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return std::nullopt;
    return StreamIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace

SystemdJournal::SystemdJournal() : running_(::access("/run/systemd/journal/socket", F_OK) == 0) {}

bool SystemdJournal::Send(const ports::JournalFields& fields) {
    if (!running_) return false;
    // Each field is one "NAME=value" buffer handed over as it is: no format
    // string sees a value, and libsystemd sends a value holding a newline
    // with its length.
    std::vector<std::string> items;
    items.reserve(fields.size());
    for (const auto& [name, value] : fields) items.push_back(name + "=" + value);
    std::vector<iovec> vectors;
    vectors.reserve(items.size());
    for (std::string& item : items) vectors.push_back({item.data(), item.size()});
    return !vectors.empty() && ::sd_journal_sendv(vectors.data(), static_cast<int>(vectors.size())) >= 0;
}

bool NamesJournalStream(std::string_view journalStream, std::span<const std::optional<StreamIdentity>> streams) {
    const std::size_t colon = journalStream.find(':');
    if (colon == std::string_view::npos) return false;
    const std::optional<std::uint64_t> device = DecimalNumber(journalStream.substr(0, colon));
    const std::optional<std::uint64_t> inode = DecimalNumber(journalStream.substr(colon + 1));
    if (!device || !inode) return false;
    for (const std::optional<StreamIdentity>& stream : streams) {
        if (stream && stream->device == *device && stream->inode == *inode) return true;
    }
    return false;
}

bool StandardStreamsGoToJournal(const EnvironmentReader& environment) {
    const std::string journalStream = environment("JOURNAL_STREAM");
    if (journalStream.empty()) return false;
    const std::array streams = {IdentityOf(STDOUT_FILENO), IdentityOf(STDERR_FILENO)};
    return NamesJournalStream(journalStream, streams);
}

}  // namespace quellstone::platform
