#include "core/scan/ScheduledScanResult.h"

#include <charconv>
#include <string_view>

#include "core/ini/IniFormat.h"

namespace quellstone::scan {

namespace {

constexpr std::string_view kSection = "ScheduledScan";
constexpr std::string_view kFileName = "scheduled-scan.ini";

// The latest moment shown: the year 9999 ends here, and every calendar can write it.
constexpr std::int64_t kLatestTime = 253402300799;

// A plain decimal number: digits only, no sign, no blanks, not too large for the type.
template <typename Number>
std::optional<Number> PlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

constexpr std::string_view OutcomeWord(ScanEnd end) {
    switch (end) {
        case ScanEnd::Finished: return "finished";
        case ScanEnd::Stopped: return "stopped";
        case ScanEnd::Failed: return "failed";
    }
    return "failed";
}

std::optional<ScanEnd> OutcomeOf(std::string_view word) {
    for (const ScanEnd end : {ScanEnd::Finished, ScanEnd::Stopped, ScanEnd::Failed}) {
        if (word == OutcomeWord(end)) return end;
    }
    return std::nullopt;
}

}  // namespace

std::string ScheduledScanResultPath(const settings::ProgramPaths& paths) {
    return paths.ProductDataFolder() + "/" + std::string(kFileName);
}

std::string SystemScanResultPath(const settings::ProgramPaths& paths) {
    return paths.systemDataFolder + "/" + std::string(kFileName);
}

std::string ScheduledScanResultText(const ScheduledScanResult& result) {
    return "[" + std::string(kSection) + "]\n" + "Ended=" + std::to_string(result.endedAt) + "\n" +
           "Scanned=" + std::to_string(result.scanned) + "\n" + "Detections=" + std::to_string(result.detections) +
           "\n" + "Outcome=" + std::string(OutcomeWord(result.end)) + "\n" +
           "Finished=" + (result.end == ScanEnd::Finished ? "1" : "0") + "\n";
}

bool WriteScheduledScanResult(ports::FileStore& files, const std::string& path, const ScheduledScanResult& result) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !files.CreateFolders(path.substr(0, slash))) return false;
    return files.ReplaceFile(path, ScheduledScanResultText(result), ports::FileRole::Record);
}

std::optional<ScheduledScanResult> ReadScheduledScanResult(ports::FileStore& files, const std::string& path) {
    const ports::FileContent content = files.ReadFile(path, ports::FileRole::Record);
    if (content.status != ports::ReadStatus::Ok) return std::nullopt;
    std::optional<std::int64_t> ended;
    std::optional<std::uint64_t> scanned;
    std::optional<std::uint64_t> detections;
    std::optional<bool> finished;
    std::optional<ScanEnd> outcome;
    bool garbled = false;
    ini::ForEachEntryInSection(content.bytes, kSection, [&](std::string_view key, std::string_view value) {
        if (key == "Ended") {
            ended = PlainNumber<std::int64_t>(value);
            garbled = garbled || !ended || *ended > kLatestTime;
        } else if (key == "Scanned") {
            scanned = PlainNumber<std::uint64_t>(value);
            garbled = garbled || !scanned;
        } else if (key == "Detections") {
            detections = PlainNumber<std::uint64_t>(value);
            garbled = garbled || !detections;
        } else if (key == "Finished") {
            if (value == "0" || value == "1") {
                finished = value == "1";
            } else {
                garbled = true;
            }
        } else if (key == "Outcome") {
            outcome = OutcomeOf(value);
            garbled = garbled || !outcome;
        }
        return !garbled;
    });
    if (garbled || !ended || !scanned || !detections || (!finished && !outcome)) return std::nullopt;
    // More detections than entries looked up is no result the scan can have.
    if (*detections > *scanned) return std::nullopt;
    const ScanEnd end = outcome ? *outcome : *finished ? ScanEnd::Finished : ScanEnd::Stopped;
    return ScheduledScanResult{*ended, *scanned, *detections, end};
}

}  // namespace quellstone::scan
