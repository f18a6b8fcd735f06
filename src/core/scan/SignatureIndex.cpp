#include "core/scan/SignatureIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/ini/IniFormat.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::scan {

namespace {

constexpr std::uint64_t kWordMultiplier = 0x9e3779b97f4a7c15ull;

// Mixes the name in eight bytes at a time, then runs a final avalanche so
// that every bit of the result depends on every byte: the low bits pick the
// slot, the middle ones the filter bit, the high ones the tag.
std::uint64_t HashName(std::string_view name) {
    std::uint64_t hash = name.size() * kWordMultiplier;
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * kWordMultiplier;
        hash ^= hash >> 29;
    };
    std::size_t pos = 0;
    for (; pos + sizeof(std::uint64_t) <= name.size(); pos += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + pos, sizeof word);
        mix(word);
    }
    if (pos < name.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + pos, name.size() - pos);
        mix(word);
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return hash;
}

constexpr std::uint32_t TagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}
constexpr std::uint64_t FilterBitOf(std::uint64_t hash) {
    return hash >> 7;
}

// The number of line feeds, eight bytes at a time: a bound on the entries,
// so the tables can be sized before the one pass over the text.
std::size_t CountLineFeeds(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
    std::size_t count = 0;
    std::size_t pos = 0;
    for (; pos + sizeof(std::uint64_t) <= text.size(); pos += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, sizeof word);
        const std::uint64_t x = word ^ (kOnes * '\n');  // a zero byte where a line feed was
        // A one in the low bit of exactly the zero bytes (no carry crosses a
        // byte), then their sum gathered into the top byte by one multiply.
        const std::uint64_t zeros = ~(((x & kLow7) + kLow7) | x | kLow7) >> 7;
        count += static_cast<std::size_t>((zeros * kOnes) >> 56);
    }
    return count +
           static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(), '\n'));
}

}  // namespace

SignatureIndex SignatureIndex::Build(std::string decodedText, std::string_view section, std::string_view pathSection) {
    SignatureIndex index;
    index.text_ = std::move(decodedText);
    const std::string_view text = index.text_;
    // Every entry takes a line, so the line count sizes the tables once for
    // any database of ordinary size and the entries go in as they are read,
    // in one pass. Past kPresizedEntries the tables grow as entries come, so
    // that a file of blank lines or of other sections asks for no more.
    constexpr std::size_t kPresizedEntries = std::size_t{1} << 17;
    const std::size_t expected = std::min(CountLineFeeds(text) + 1, kPresizedEntries);
    index.entries_.reserve(expected);
    index.SizeTables(expected);
    std::string upper;
    const bool found = ini::ForEachEntryInSection(text, section, [&](std::string_view key, std::string_view value) {
        text::UpperCaseInto(key, upper);
        const std::string_view cut = text::TruncateCharacters(value, ini::kMaxIniValueChars);
        // An empty key or value may not point into the text at all.
        const std::size_t valueOffset = cut.empty() ? 0 : static_cast<std::size_t>(cut.data() - text.data());
        std::size_t keyOffset = key.empty() ? 0 : static_cast<std::size_t>(key.data() - text.data());
        if (upper.size() <= key.size()) {
            // Upper-cased where it stands: the line has been read, and no
            // value shares its bytes with a key.
            std::copy(upper.begin(), upper.end(), index.text_.begin() + static_cast<std::ptrdiff_t>(keyOffset));
        } else {
            keyOffset = text.size() + index.longKeys_.size();
            index.longKeys_ += upper;
        }
        const std::size_t before = index.entries_.size();
        index.Insert(HashName(upper),
                     {static_cast<std::uint32_t>(keyOffset), static_cast<std::uint32_t>(upper.size()),
                      static_cast<std::uint32_t>(valueOffset), static_cast<std::uint32_t>(cut.size())});
        index.nameEntries_ += index.entries_.size() - before;
        return true;
    });
    index.status_ = found ? Status::Loaded : Status::NoSection;
    if (found && !pathSection.empty()) {
        // Read from the text as it is now: the name section's keys are
        // upper-cased where they stand, and no line of it is read here.
        ini::ForEachEntryInSection(index.text_, pathSection, [&](std::string_view key, std::string_view value) {
            index.AddPathEntry(key, text::TruncateCharacters(value, ini::kMaxIniValueChars));
            return true;
        });
    }
    return index;
}

void SignatureIndex::AddPathEntry(std::string_view pattern, std::string_view value) {
    if (!IsPathPattern(pattern)) {
        ++skippedPathKeys_;
        return;
    }
    const auto offsetOf = [this](std::string_view part) {
        return static_cast<std::uint32_t>(part.empty() ? 0 : part.data() - text_.data());
    };
    paths_.push_back({offsetOf(pattern), static_cast<std::uint32_t>(pattern.size()), offsetOf(value),
                      static_cast<std::uint32_t>(value.size()), 0});
    const auto number = static_cast<std::uint32_t>(paths_.size());
    const std::string_view lastName = LastNameOfPath(pattern);
    if (HoldsWildcard(lastName)) {
        const std::size_t lastStar = lastName.rfind('*');
        const std::string_view tail =
            lastStar == std::string_view::npos ? std::string_view() : lastName.substr(lastStar + 1);
        wildcardLastNames_.push_back({number, offsetOf(lastName), static_cast<std::uint32_t>(lastName.size()),
                                      static_cast<std::uint32_t>(lastName.find_first_of("*?")),
                                      static_cast<std::uint32_t>(HoldsWildcard(tail) ? 0 : tail.size())});
        return;
    }
    // Under its upper-cased last name, after any path entry there already;
    // a name entry with that key keeps its value and gains the pattern.
    // Found by the key an entry's name is looked up by: trimmed, as names are.
    const std::string upper = text::UpperCase(LookupKeyOf(lastName));
    const auto keyOffset = static_cast<std::uint32_t>(text_.size() + longKeys_.size());
    longKeys_ += upper;
    const std::size_t before = entries_.size();
    const std::size_t position = Insert(HashName(upper), {keyOffset, static_cast<std::uint32_t>(upper.size()), 0, 0});
    if (entries_.size() == before) longKeys_.resize(longKeys_.size() - upper.size());  // the key was in already
    std::uint32_t* link = &entries_[position].firstPath;
    while (*link != 0) link = &paths_[*link - 1].next;
    *link = number;
}

std::string_view SignatureIndex::KeyOf(const Entry& entry) const {
    if (entry.keyOffset < text_.size()) return std::string_view(text_).substr(entry.keyOffset, entry.keyLength);
    return std::string_view(longKeys_).substr(entry.keyOffset - text_.size(), entry.keyLength);
}

void SignatureIndex::SizeTables(std::size_t entryCount) {
    slots_.assign(std::bit_ceil(std::max<std::size_t>(entryCount * 2, 16)), Slot{0, 0});
    filter_.assign(std::bit_ceil(std::max<std::size_t>(entryCount * 16, 64)) / 64, 0);
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        const std::string_view key = KeyOf(entries_[e]);
        const std::uint64_t hash = HashName(key);
        Place(SlotFor(hash, key), hash, e + 1);
    }
}

std::size_t SignatureIndex::SlotFor(std::uint64_t hash, std::string_view upperKey) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].entry != 0 && (slots_[i].tag != TagOf(hash) || KeyOf(entries_[slots_[i].entry - 1]) != upperKey)) {
        i = (i + 1) & mask;
    }
    return i;
}

void SignatureIndex::Place(std::size_t slotIndex, std::uint64_t hash, std::size_t entryNumber) {
    slots_[slotIndex] = {TagOf(hash), static_cast<std::uint32_t>(entryNumber)};
    const std::uint64_t bit = FilterBitOf(hash) & (filter_.size() * 64 - 1);
    filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

std::size_t SignatureIndex::Insert(std::uint64_t hash, const Entry& entry) {
    const std::size_t slot = SlotFor(hash, KeyOf(entry));
    // A key already in keeps its first line, as a keyed read finds that one first.
    if (slots_[slot].entry != 0) return slots_[slot].entry - 1;
    entries_.push_back(entry);
    if (entries_.size() * 2 > slots_.size()) {
        SizeTables(entries_.size() * 2);  // places every entry again, this one too
    } else {
        Place(slot, hash, entries_.size());
    }
    return entries_.size() - 1;
}

const SignatureIndex::Entry* SignatureIndex::EntryFor(std::string_view upperName) const {
    if (entries_.empty()) return nullptr;
    const std::uint64_t hash = HashName(upperName);
    const std::uint64_t bit = FilterBitOf(hash) & (filter_.size() * 64 - 1);
    if ((filter_[bit / 64] & (std::uint64_t{1} << (bit % 64))) == 0) return nullptr;
    const Slot& slot = slots_[SlotFor(hash, upperName)];
    return slot.entry == 0 ? nullptr : &entries_[slot.entry - 1];
}

std::string_view SignatureIndex::Find(std::string_view upperName) const {
    const Entry* entry = EntryFor(upperName);
    if (!entry) return {};
    return std::string_view(text_).substr(entry->valueOffset, entry->valueLength);
}

std::string_view SignatureIndex::Find(std::string_view upperName, std::string_view absolutePath) const {
    const Entry* entry = EntryFor(upperName);
    std::uint32_t found = 0;
    if (entry) {
        if (entry->valueLength != 0) return std::string_view(text_).substr(entry->valueOffset, entry->valueLength);
        for (std::uint32_t number = entry->firstPath; number != 0 && found == 0; number = paths_[number - 1].next) {
            if (PathMatches(number, absolutePath)) found = number;
        }
    }
    // An earlier path entry whose last name holds a wildcard comes first.
    // Its last name is tried first: most entries fail there, at little cost.
    if (wildcardLastNames_.empty()) return found == 0 ? std::string_view() : ValueOfPath(found);
    const std::string_view name = LastNameOfPath(absolutePath);
    for (const WildcardLastName& wildcard : wildcardLastNames_) {
        if (found != 0 && wildcard.number > found) break;
        const std::string_view pattern = std::string_view(text_).substr(wildcard.nameOffset, wildcard.nameLength);
        if (!name.starts_with(pattern.substr(0, wildcard.headLength)) ||
            !name.ends_with(pattern.substr(pattern.size() - wildcard.tailLength))) {
            continue;
        }
        if (MatchesNamePattern(pattern, name) && PathMatches(wildcard.number, absolutePath)) {
            found = wildcard.number;
            break;
        }
    }
    return found == 0 ? std::string_view() : ValueOfPath(found);
}

}  // namespace quellstone::scan
