#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileOperations.h"

namespace quellstone::quarantine {

// What the quarantine remembers of an archive, in a small text file beside
// it ("NAME.arc" has "NAME.arc.info"; the name does not end in ".arc", so the
// quarantine list never shows it):
//
//   [Quarantine]
//   Path=/home/u/Downloads/setup (2).exe
//   StartFolder=/home/u
//   Detection=TROJAN.X
//   Removed=2026-12-08 20:15:03
//   LinkTarget=../lib/x.so
//
// Values keep their exact bytes: a backslash is written "\\", and control
// characters and bytes that are not UTF-8 as "\xHH".
//
// The start folder is the folder the scan started in, as the user named it:
// a restore to the original path reaches it as removal did, links in the
// start folder's own path followed, none below it.
//
// A detection that was a symbolic link is kept as one: the record holds the
// link's target text as it was written (never followed), the archive stands
// for the link, and a restore makes the link again. A record without
// LinkTarget (every record before links were kept) is a regular file's.
struct QuarantineRecord {
    std::string originalPath;  // absolute
    std::string detection;
    std::string removedAt;     // local time, "YYYY-MM-DD HH:MM:SS"
    std::string startFolder;   // absolute, "/" for the root; empty when unknown
    std::string linkTarget{};  // of a symbolic link, its target text; empty for a regular file

    // How a restore reaches the original path.
    [[nodiscard]] ports::ReachablePath OriginalLocation() const;
};

inline constexpr std::string_view kRecordExtension = ".info";

std::string RecordNameOf(std::string_view archiveName);
std::string SerializeRecord(const QuarantineRecord& record);
// nullopt when the text holds no absolute original path (or one with a NUL
// byte), or a link target with a NUL byte, which no link can hold.
std::optional<QuarantineRecord> ParseRecord(std::string_view text);

// The escapes of a record's values, exact both ways.
std::string EscapeRecordValue(std::string_view bytes);
std::string UnescapeRecordValue(std::string_view text);

}  // namespace quellstone::quarantine
