#include "core/settings/RegistryDocument.h"

#include <algorithm>
#include <cstdio>

#include "core/text/Hex.h"
#include "core/text/Trim.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::settings {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::uint32_t kString = 1;
constexpr std::uint32_t kBinary = 3;
constexpr std::uint32_t kNumber = 4;

// Blanks around a line; stray carriage returns count as blanks, so a line
// reads the same whatever line ends the file had.
std::string_view Trim(std::string_view s) {
    return text::Trim(s, " \t\r");
}

// The next line of `text` without its line feed; `text` moves past it.
std::string_view TakeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

// UTF-16LE text (without its byte order mark) as UTF-8. An unpaired surrogate
// or an odd last byte becomes a byte that is not UTF-8, so only the line it
// stands in is unreadable.
std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t at) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t high = unit(at);
        if (high >= 0xD800 && high <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text::AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        if (high >= 0xD800 && high <= 0xDFFF) {
            out += '\xFF';
        } else {
            text::AppendUtf8(out, high);
        }
    }
    if (at < bytes.size()) out += '\xFF';
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return text::EqualsIgnoringCase(a, b);
}

// True when `path` lies below `ancestor`.
bool IsBelow(std::string_view path, std::string_view ancestor) {
    return path.size() > ancestor.size() + 1 && path[ancestor.size()] == '\\' &&
           SameName(path.substr(0, ancestor.size()), ancestor);
}

// A number of one to eight hexadecimal digits.
std::optional<std::uint32_t> HexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t number = 0;
    for (const char c : digits) {
        const int digit = text::HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// Reads a quoted text at the start of `s` ("\\" and "\"" are the escapes);
// returns the text and advances `s` past the closing quote.
std::optional<std::string> TakeQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out += s[i];
    }
    return std::nullopt;
}

std::optional<std::string> ParseHexBytes(std::string_view list) {
    std::string bytes;
    list = Trim(list);
    if (list.empty()) return bytes;
    while (true) {
        list = Trim(list);
        const int high = list.size() < 2 ? -1 : text::HexDigitValue(list[0]);
        const int low = list.size() < 2 ? -1 : text::HexDigitValue(list[1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        list = Trim(list.substr(2));
        if (list.empty()) return bytes;
        if (list.front() != ',') return std::nullopt;
        list.remove_prefix(1);
    }
}

std::optional<RegistryDocument::Value> ParseValueLine(std::string_view line) {
    RegistryDocument::Value value;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto name = TakeQuoted(line);
        if (!name) return std::nullopt;
        value.name = std::move(*name);
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') return std::nullopt;
    line = Trim(line.substr(1));
    if (line.starts_with('"')) {
        auto textValue = TakeQuoted(line);
        if (!textValue || !Trim(line).empty()) return std::nullopt;
        value.type = kString;
        value.data = std::move(*textValue) + '\0';
        return value;
    }
    if (line.starts_with("dword:")) {
        const std::optional<std::uint32_t> number = HexNumber(line.substr(6));
        if (!number) return std::nullopt;
        value.type = kNumber;
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((*number >> (8 * i)) & 0xFF);
        return value;
    }
    if (line.starts_with("hex:")) {
        value.type = kBinary;
        line.remove_prefix(4);
    } else if (line.starts_with("hex(")) {
        const std::size_t close = line.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        const std::optional<std::uint32_t> type = HexNumber(line.substr(4, close - 4));
        if (!type) return std::nullopt;
        value.type = *type;
        line.remove_prefix(close + 2);
    } else {
        return std::nullopt;  // includes "-", the deletion marker of import files
    }
    auto bytes = ParseHexBytes(line);
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string HexList(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += ',';
        text::AppendHexByte(out, static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

std::string FormatValue(const RegistryDocument::Value& value) {
    std::string line = value.name.empty() ? "@" : Quote(value.name);
    line += '=';
    const std::string_view data = value.data;
    const std::string_view textPart = data.substr(0, data.empty() ? 0 : data.size() - 1);
    if (value.type == kString && data.ends_with('\0') &&
        textPart.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos &&
        text::IsValidUtf8(textPart)) {
        return line + Quote(textPart);
    }
    if (value.type == kNumber && data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        return line + digits;
    }
    if (value.type == kBinary) return line + "hex:" + HexList(data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return line + prefix + HexList(data);
}

}  // namespace

RegistryDocument RegistryDocument::Parse(std::string_view text) {
    std::string decoded;
    if (text.starts_with("\xFF\xFE")) {
        decoded = Utf16LeToUtf8(text.substr(2));
        text = decoded;
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    RegistryDocument doc;
    bool seenHeader = false;
    std::size_t current = 0;      // index into keys_ of the key being read
    bool underBadHeader = false;  // lines up to the next good header belong to no known key
    std::string joined;           // a value line continued with a trailing "\"
    while (!text.empty()) {
        std::string_view line = Trim(TakeLine(text));
        bool readable = text::IsValidUtf8(line);
        if (line.ends_with('\\') && (line.starts_with('"') || line.starts_with('@'))) {
            joined.assign(line.substr(0, line.size() - 1));
            bool complete = false;
            while (!text.empty()) {
                const std::string_view part = Trim(TakeLine(text));
                readable = readable && text::IsValidUtf8(part);
                joined += part;
                if (!joined.ends_with('\\')) {
                    complete = true;
                    break;
                }
                joined.pop_back();
            }
            readable = readable && complete;  // the file ended inside the value
            line = joined;
        }

        if (line.empty()) continue;  // blank lines carry nothing
        if (!readable) {
            ++doc.skippedLines_;
            // An unreadable header leaves the lines below it without a known key, as a bad one does.
            if (line.front() == '[') underBadHeader = true;
        } else if (line.front() == '[') {
            const std::string_view path =
                line.back() == ']' && line.size() >= 3 ? Trim(line.substr(1, line.size() - 2)) : std::string_view();
            // "[-...]" deletes a key in an import file; this store never holds one.
            underBadHeader = path.empty() || path.front() == '-' || path.front() == '\\' || path.back() == '\\';
            if (underBadHeader) {
                ++doc.skippedLines_;
            } else {
                current = doc.EnsureKey(path);
            }
        } else if (underBadHeader) {
            ++doc.skippedLines_;
        } else if (line.front() == ';') {
            if (doc.keys_.empty()) {
                doc.preamble_.emplace_back(line);
            } else {
                doc.keys_[current].lines.push_back({false, std::string(line), {}});
            }
        } else if (!seenHeader && doc.keys_.empty() && (line == kHeader || line == kOldHeader)) {
            seenHeader = true;
        } else if ((line.front() == '"' || line.front() == '@') && !doc.keys_.empty()) {
            auto value = ParseValueLine(line);
            if (!value) {
                ++doc.skippedLines_;
                continue;
            }
            // A name given twice keeps its first spelling and its last value, as an import would.
            SetValueIn(doc.keys_[current], value->name, value->type, std::move(value->data));
        } else {
            ++doc.skippedLines_;
        }
    }
    return doc;
}

std::string RegistryDocument::Serialize() const {
    std::string out(kHeader);
    out += "\n";
    for (const std::string& comment : preamble_) out += comment + "\n";
    for (const Key& key : keys_) {
        out += "\n[" + key.path + "]\n";
        for (const Line& line : key.lines) out += (line.isValue ? FormatValue(line.value) : line.comment) + "\n";
    }
    return out;
}

std::size_t RegistryDocument::FindKey(std::string_view path) const {
    const auto it = keyIndex_.find(text::UpperCase(path));
    return it == keyIndex_.end() ? keys_.size() : it->second;
}

void RegistryDocument::IndexKeys() {
    keyIndex_.clear();
    for (std::size_t i = 0; i < keys_.size(); ++i) keyIndex_.emplace(text::UpperCase(keys_[i].path), i);
}

void RegistryDocument::IndexValues(Key& key) {
    key.values.clear();
    for (std::size_t i = 0; i < key.lines.size(); ++i) {
        if (key.lines[i].isValue) key.values.emplace(text::UpperCase(key.lines[i].value.name), i);
    }
}

bool RegistryDocument::HasDescendants(std::string_view path) const {
    return std::any_of(keys_.begin(), keys_.end(), [&](const Key& key) { return IsBelow(key.path, path); });
}

bool RegistryDocument::KeyExists(std::string_view path) const {
    return FindKey(path) < keys_.size() || HasDescendants(path);
}

std::size_t RegistryDocument::EnsureKey(std::string_view path) {
    const auto [it, added] = keyIndex_.emplace(text::UpperCase(path), keys_.size());
    if (added) keys_.push_back({std::string(path), {}, {}});
    return it->second;
}

const RegistryDocument::Value* RegistryDocument::FindValue(std::string_view path, std::string_view name) const {
    const std::size_t at = FindKey(path);
    if (at == keys_.size()) return nullptr;
    const Key& key = keys_[at];
    const auto it = key.values.find(text::UpperCase(name));
    return it == key.values.end() ? nullptr : &key.lines[it->second].value;
}

void RegistryDocument::CreateKey(std::string_view path) {
    if (!KeyExists(path)) EnsureKey(path);
}

void RegistryDocument::SetValueIn(Key& key, std::string_view name, std::uint32_t type, std::string data) {
    const auto [it, added] = key.values.emplace(text::UpperCase(name), key.lines.size());
    if (added) {
        key.lines.push_back({true, {}, Value{std::string(name), type, std::move(data)}});
        return;
    }
    Value& value = key.lines[it->second].value;
    value.type = type;
    value.data = std::move(data);
}

void RegistryDocument::SetValue(std::string_view path, std::string_view name, std::uint32_t type, std::string data) {
    SetValueIn(keys_[EnsureKey(path)], name, type, std::move(data));
}

bool RegistryDocument::DeleteValue(std::string_view path, std::string_view name) {
    const std::size_t at = FindKey(path);
    if (at == keys_.size()) return false;
    Key& key = keys_[at];
    const auto it = key.values.find(text::UpperCase(name));
    if (it == key.values.end()) return false;
    key.lines.erase(key.lines.begin() + static_cast<std::ptrdiff_t>(it->second));
    IndexValues(key);  // the lines after it moved up by one
    return true;
}

RegistryDocument::DeleteResult RegistryDocument::DeleteKey(std::string_view path) {
    if (HasDescendants(path)) return DeleteResult::HasSubkeys;
    const std::size_t at = FindKey(path);
    if (at == keys_.size()) return DeleteResult::NotFound;
    const std::string deleted = keys_[at].path;
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(at));
    IndexKeys();  // the keys after it moved up by one
    // The parent key stays, even if it existed only as the deleted key's ancestor.
    const std::size_t slash = deleted.rfind('\\');
    if (slash != std::string::npos && deleted.find('\\') < slash) CreateKey(std::string_view(deleted).substr(0, slash));
    return DeleteResult::Deleted;
}

std::optional<std::string> RegistryDocument::SubKeyAt(std::string_view path, std::size_t index) const {
    std::vector<std::string> names;
    for (const Key& key : keys_) {
        if (!IsBelow(key.path, path)) continue;
        const std::string_view rest = std::string_view(key.path).substr(path.size() + 1);
        const std::string_view child = rest.substr(0, rest.find('\\'));
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, child); })) {
            names.emplace_back(child);
        }
    }
    if (index >= names.size()) return std::nullopt;
    return names[index];
}

}  // namespace quellstone::settings
