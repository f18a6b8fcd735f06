#include "core/quarantine/QuarantineRecord.h"

#include "core/text/DisplayEscape.h"
#include "core/text/Hex.h"
#include "core/text/Utf8.h"

namespace quellstone::quarantine {

namespace {

using text::HexDigitValue;

constexpr std::string_view kSection = "[Quarantine]";
constexpr std::string_view kPathKey = "Path=";
constexpr std::string_view kDetectionKey = "Detection=";
constexpr std::string_view kRemovedKey = "Removed=";
constexpr std::string_view kStartKey = "StartFolder=";
constexpr std::string_view kLinkKey = "LinkTarget=";

}  // namespace

std::string RecordNameOf(std::string_view archiveName) {
    return std::string(archiveName) + std::string(kRecordExtension);
}

std::string EscapeRecordValue(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const text::Utf8Char c = text::DecodeUtf8At(bytes, pos);
        if (c.length == 0 || c.codePoint < 0x20 || c.codePoint == 0x7F) {
            text::AppendByteEscape(out, static_cast<unsigned char>(bytes[pos]));
            ++pos;
            continue;
        }
        if (c.codePoint == '\\') out += '\\';
        out.append(bytes.substr(pos, c.length));
        pos += c.length;
    }
    return out;
}

std::string UnescapeRecordValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && HexDigitValue(text[i + 2]) >= 0 &&
                   HexDigitValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
        } else {
            out += text[i];  // anything else stands for itself
        }
    }
    return out;
}

std::string SerializeRecord(const QuarantineRecord& record) {
    std::string text(kSection);
    text += '\n';
    text += kPathKey;
    text += EscapeRecordValue(record.originalPath);
    text += '\n';
    text += kDetectionKey;
    text += EscapeRecordValue(record.detection);
    text += '\n';
    text += kRemovedKey;
    text += EscapeRecordValue(record.removedAt);
    text += '\n';
    if (!record.startFolder.empty()) {
        text += kStartKey;
        text += EscapeRecordValue(record.startFolder);
        text += '\n';
    }
    if (!record.linkTarget.empty()) {
        text += kLinkKey;
        text += EscapeRecordValue(record.linkTarget);
        text += '\n';
    }
    return text;
}

std::optional<QuarantineRecord> ParseRecord(std::string_view text) {
    QuarantineRecord record;
    bool hasPath = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with(kPathKey)) {
            record.originalPath = UnescapeRecordValue(line.substr(kPathKey.size()));
            hasPath = !record.originalPath.empty();
        } else if (line.starts_with(kDetectionKey)) {
            record.detection = UnescapeRecordValue(line.substr(kDetectionKey.size()));
        } else if (line.starts_with(kRemovedKey)) {
            record.removedAt = UnescapeRecordValue(line.substr(kRemovedKey.size()));
        } else if (line.starts_with(kStartKey)) {
            record.startFolder = UnescapeRecordValue(line.substr(kStartKey.size()));
        } else if (line.starts_with(kLinkKey)) {
            record.linkTarget = UnescapeRecordValue(line.substr(kLinkKey.size()));
        }
    }
    // A restore goes to this path: only an absolute one that the system can take whole.
    const auto usable = [](const std::string& path) {
        return path.starts_with('/') && path.find('\0') == std::string::npos;
    };
    if (!hasPath || !usable(record.originalPath)) return std::nullopt;
    if (record.linkTarget.find('\0') != std::string::npos) return std::nullopt;
    if (!usable(record.startFolder)) record.startFolder.clear();
    return record;
}

ports::ReachablePath QuarantineRecord::OriginalLocation() const {
    const std::string start = startFolder == "/" ? std::string() : startFolder;
    if (!startFolder.empty() && originalPath.size() > start.size() + 1 && originalPath.starts_with(start) &&
        originalPath[start.size()] == '/') {
        return {start, std::nullopt, originalPath.substr(start.size() + 1)};
    }
    // Without a start folder no link is followed on the way.
    return ports::ReachablePath::FromRoot(originalPath);
}

}  // namespace quellstone::quarantine
