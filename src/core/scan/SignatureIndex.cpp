#include "core/scan/SignatureIndex.h"

#include <algorithm>
#include <bit>

#include "core/ini/IniFormat.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::scan {

namespace {

// FNV-1a with a final mix, so that every bit of the result depends on every byte.
std::uint64_t HashName(std::string_view name) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return hash;
}

constexpr std::uint32_t TagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}
constexpr std::uint64_t FilterBitOf(std::uint64_t hash) {
    return hash >> 7;
}

}  // namespace

SignatureIndex SignatureIndex::Build(std::string decodedText, std::string_view section) {
    SignatureIndex index;
    index.text_ = std::move(decodedText);
    const std::string_view text = index.text_;
    std::string upper;
    std::vector<std::uint64_t> hashes;
    // One entry per line at most: reserved once rather than grown through a large database.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    index.entries_.reserve(lines);
    index.keys_.reserve(text.size());
    hashes.reserve(lines);
    const bool found = ini::ForEachEntryInSection(text, section, [&](std::string_view key, std::string_view value) {
        text::UpperCaseInto(key, upper);
        const std::string_view cut = text::TruncateCharacters(value, ini::kMaxIniValueChars);
        // An empty value may not point into the text at all.
        const std::size_t valueOffset = cut.empty() ? 0 : static_cast<std::size_t>(cut.data() - text.data());
        index.entries_.push_back({static_cast<std::uint32_t>(index.keys_.size()),
                                  static_cast<std::uint32_t>(upper.size()), static_cast<std::uint32_t>(valueOffset),
                                  static_cast<std::uint32_t>(cut.size())});
        index.keys_ += upper;
        hashes.push_back(HashName(upper));
        return true;
    });
    index.status_ = found ? Status::Loaded : Status::NoSection;

    const std::size_t slotCount = std::bit_ceil(std::max<std::size_t>(index.entries_.size() * 2, 16));
    index.slots_.assign(slotCount, Slot{0, 0});
    index.filter_.assign(std::bit_ceil(std::max<std::size_t>(index.entries_.size() * 16, 64)) / 64, 0);
    std::vector<Entry> firstLines;
    firstLines.reserve(index.entries_.size());
    std::vector<Entry> all = std::move(index.entries_);
    index.entries_ = std::move(firstLines);
    for (std::size_t i = 0; i < all.size(); ++i) {
        // Insert keeps the first line of a key, as a keyed read finds it first.
        index.Insert(hashes[i], all[i]);
    }
    return index;
}

bool SignatureIndex::Insert(std::uint64_t hash, const Entry& entry) {
    const std::size_t mask = slots_.size() - 1;
    const std::string_view key = std::string_view(keys_).substr(entry.keyOffset, entry.keyLength);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.entry == 0) {
            entries_.push_back(entry);
            slot = {TagOf(hash), static_cast<std::uint32_t>(entries_.size())};
            const std::uint64_t bit = FilterBitOf(hash) & (filter_.size() * 64 - 1);
            filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
            return true;
        }
        if (slot.tag == TagOf(hash) && KeyOf(entries_[slot.entry - 1]) == key) return false;
    }
}

std::string_view SignatureIndex::Find(std::string_view upperName) const {
    if (entries_.empty()) return {};
    const std::uint64_t hash = HashName(upperName);
    const std::uint64_t bit = FilterBitOf(hash) & (filter_.size() * 64 - 1);
    if ((filter_[bit / 64] & (std::uint64_t{1} << (bit % 64))) == 0) return {};
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry == 0) return {};
        const Entry& entry = entries_[slot.entry - 1];
        if (slot.tag == TagOf(hash) && KeyOf(entry) == upperName) {
            return std::string_view(text_).substr(entry.valueOffset, entry.valueLength);
        }
    }
}

}  // namespace quellstone::scan
