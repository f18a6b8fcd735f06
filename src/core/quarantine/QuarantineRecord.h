#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellstone::quarantine {

// What the quarantine remembers of an archive, in a small text file beside
// it ("NAME.arc" has "NAME.arc.info"; the name does not end in ".arc", so the
// quarantine list never shows it):
//
//   [Quarantine]
//   Path=/home/u/Downloads/setup (2).exe
//   Detection=TROJAN.X
//   Removed=2026-12-08 20:15:03
//
// Values keep their exact bytes: a backslash is written "\\", and control
// characters and bytes that are not UTF-8 as "\xHH".
struct QuarantineRecord {
    std::string originalPath;
    std::string detection;
    std::string removedAt;  // local time, "YYYY-MM-DD HH:MM:SS"
};

inline constexpr std::string_view kRecordExtension = ".info";

std::string RecordNameOf(std::string_view archiveName);
std::string SerializeRecord(const QuarantineRecord& record);
// nullopt when the text holds no original path.
std::optional<QuarantineRecord> ParseRecord(std::string_view text);

// The escapes of a record's values, exact both ways.
std::string EscapeRecordValue(std::string_view bytes);
std::string UnescapeRecordValue(std::string_view text);

}  // namespace quellstone::quarantine
