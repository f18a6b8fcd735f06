#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/Trim.h"

namespace quellstone::scan {

// The signature section of the database loaded once into a hash table keyed
// by the upper-cased key. Built with the same line rules as a keyed read
// (first matching section, first line of a key wins, trimming, quotes, values
// cut to 1023 characters), so a lookup gives exactly what a keyed read would.
//
// A scan looks up every entry of a disk, and nearly all of them are clean, so
// the table is flat (keys and values as views into the loaded text, the keys
// upper-cased where they stand) and fronted by a bit filter small enough to
// stay in the processor's cache: most clean names are answered by one bit.
// The key a file name is looked up by: the database's keys are trimmed of
// blanks and tabs, so a name padded with them (" enbiei.exe") must be
// trimmed too, or padding would be an easy way past the scanner.
constexpr std::string_view LookupKeyOf(std::string_view name) {
    return text::Trim(name, text::kSpacesAndTabs);
}

class SignatureIndex {
public:
    enum class Status { Loaded, Unreadable, NoSection };

    SignatureIndex() = default;
    static SignatureIndex Build(std::string decodedText, std::string_view section);
    static SignatureIndex Unreadable() { return {}; }

    // The stored value for a name that is already upper-cased; empty when the
    // name is clean.
    [[nodiscard]] std::string_view Find(std::string_view upperName) const;

    [[nodiscard]] Status LoadStatus() const { return status_; }
    [[nodiscard]] std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::uint32_t keyOffset;  // into text_, or past its end into longKeys_
        std::uint32_t keyLength;
        std::uint32_t valueOffset;
        std::uint32_t valueLength;
    };
    struct Slot {
        std::uint32_t tag;    // high half of the key's hash
        std::uint32_t entry;  // position in entries_ plus one; 0 marks an empty slot
    };

    [[nodiscard]] std::string_view KeyOf(const Entry& entry) const;
    // Sizes the slots and the filter for `entryCount` entries and places the
    // entries already in.
    void SizeTables(std::size_t entryCount);
    // The slot holding `upperKey`, or the empty one where it would go.
    [[nodiscard]] std::size_t SlotFor(std::uint64_t hash, std::string_view upperKey) const;
    void Place(std::size_t slotIndex, std::uint64_t hash, std::size_t entryNumber);
    void Insert(std::uint64_t hash, const Entry& entry);

    std::string text_;      // the decoded file, keys upper-cased; values are views into it
    std::string longKeys_;  // the few upper-cased keys longer than they were, one after another
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;            // a power of two long, at most half full
    std::vector<std::uint64_t> filter_;  // a power of two bits long; a clear bit means clean
    Status status_ = Status::Unreadable;
};

}  // namespace quellstone::scan
