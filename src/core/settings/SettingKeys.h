#pragma once

#include <string_view>

namespace quellstone::settings {

// One value the program stores: its section, its name (stored names keep
// their historical spelling), and what a reader gets while none is stored.
struct SettingKey {
    std::string_view section;
    std::string_view name;
    std::string_view fallback;
};

// Every value the program reads or writes, in one table.
namespace keys {
// The interface language: "English", "Polish" or "Deutsch"; empty before the first start.
inline constexpr SettingKey kLanguage{"Settings", "curLang", ""};
// Whether removal keeps a copy in the quarantine first: "0" no, anything else
// (no value included) yes; see QuarantineCopiesOn.
inline constexpr SettingKey kQuarantineCopies{"Settings", "Quarintine", "1"};
// The number of scans started. It is written under the spelling of
// kTotalScansWritten; names match without regard to case, so both are one value.
inline constexpr SettingKey kTotalScans{"Status", "TotalScans", "0"};
inline constexpr SettingKey kTotalScansWritten{"Status", "Totalscans", "0"};
inline constexpr SettingKey kTotalObjectsRemoved{"Status", "TotalObjectsRemoved", "0"};
// The date of the last whole-computer scan, as the system writes a short date.
inline constexpr SettingKey kLastSystemScan{"Status", "LastSystemScan", "Nigdy"};
// The main window's place and size when it was last closed: "x,y,width,height"
// in screen pixels; empty before the first close.
inline constexpr SettingKey kWindowGeometry{"Settings", "WindowGeometry", ""};
// The folder of the last chosen-folder scan (or the last one picked with the
// browse button); empty until then.
inline constexpr SettingKey kLastScanFolder{"Settings", "LastScanFolder", ""};
// Whether scans from the window also look up and walk hidden entries (names
// that begin with "."): "0" no, anything else (no value included) yes.
inline constexpr SettingKey kScanHidden{"Settings", "ScanHidden", "1"};
// Whether the whole-computer scan from the window also walks network and
// FUSE file systems: "1" yes, anything else no.
inline constexpr SettingKey kScanNetwork{"Settings", "ScanNetwork", "0"};
// The folders scans from the window leave out: absolute paths, a line break
// between two; empty for none.
inline constexpr SettingKey kExcludedFolders{"Settings", "ExcludedFolders", ""};
// How many threads list folders ahead of a scan's walk: a whole number from
// 1 (the walk lists alone) to 64; anything else means the default.
inline constexpr SettingKey kListingThreads{"Settings", "ListingThreads", ""};
}  // namespace keys

}  // namespace quellstone::settings
