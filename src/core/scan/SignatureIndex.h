#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan/PathPattern.h"
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

//
// The path entries (PathPattern.h), when a section of them is named, are
// kept in the same table under the upper-cased last name of their pattern,
// so that an entry's one probe also finds the patterns that could name it;
// the few patterns whose last name holds a wildcard are tried on every entry.
class SignatureIndex {
public:
    enum class Status { Loaded, Unreadable, NoSection };

    SignatureIndex() = default;
    // `pathSection`: the section of path entries ("" for none). A key there
    // that is not an absolute path is skipped and counted.
    static SignatureIndex Build(std::string decodedText, std::string_view section, std::string_view pathSection = {});
    static SignatureIndex Unreadable() { return {}; }

    // The stored value for a name that is already upper-cased; empty when the
    // name is clean.
    [[nodiscard]] std::string_view Find(std::string_view upperName) const;
    // The stored value for an entry: by its name (upper-cased) first, then by
    // its absolute path, the first path entry in the file's order that
    // matches it; empty when the entry is clean.
    [[nodiscard]] std::string_view Find(std::string_view upperName, std::string_view absolutePath) const;

    [[nodiscard]] Status LoadStatus() const { return status_; }
    // Name entries; path entries; keys of the path section that are not absolute paths.
    [[nodiscard]] std::size_t Size() const { return nameEntries_; }
    [[nodiscard]] std::size_t PathEntries() const { return paths_.size(); }
    [[nodiscard]] std::size_t SkippedPathKeys() const { return skippedPathKeys_; }

private:
    struct Entry {
        std::uint32_t keyOffset;  // into text_, or past its end into longKeys_
        std::uint32_t keyLength;
        std::uint32_t valueOffset;
        std::uint32_t valueLength;
        std::uint32_t firstPath = 0;  // the first path entry under this last name, plus one; 0: none
    };
    struct PathEntry {
        std::uint32_t patternOffset;  // into text_
        std::uint32_t patternLength;
        std::uint32_t valueOffset;
        std::uint32_t valueLength;
        std::uint32_t next = 0;  // the next path entry under the same last name, plus one
    };
    struct Slot {
        std::uint32_t tag;    // high half of the key's hash
        std::uint32_t entry;  // position in entries_ plus one; 0 marks an empty slot
    };

    [[nodiscard]] std::string_view KeyOf(const Entry& entry) const;
    [[nodiscard]] const Entry* EntryFor(std::string_view upperName) const;
    // Sizes the slots and the filter for `entryCount` entries and places the
    // entries already in.
    void SizeTables(std::size_t entryCount);
    // The slot holding `upperKey`, or the empty one where it would go.
    [[nodiscard]] std::size_t SlotFor(std::uint64_t hash, std::string_view upperKey) const;
    void Place(std::size_t slotIndex, std::uint64_t hash, std::size_t entryNumber);
    // The entry's position; a key already in keeps its first entry.
    std::size_t Insert(std::uint64_t hash, const Entry& entry);
    void AddPathEntry(std::string_view pattern, std::string_view value);
    [[nodiscard]] std::string_view ValueOfPath(std::uint32_t pathNumber) const {
        return std::string_view(text_).substr(paths_[pathNumber - 1].valueOffset, paths_[pathNumber - 1].valueLength);
    }
    [[nodiscard]] bool PathMatches(std::uint32_t pathNumber, std::string_view absolutePath) const {
        const PathEntry& entry = paths_[pathNumber - 1];
        return MatchesPathPattern(std::string_view(text_).substr(entry.patternOffset, entry.patternLength),
                                  absolutePath);
    }

    std::string text_;      // the decoded file, keys upper-cased; values are views into it
    std::string longKeys_;  // the few upper-cased keys longer than they were, one after another
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;            // a power of two long, at most half full
    std::vector<std::uint64_t> filter_;  // a power of two bits long; a clear bit means clean
    std::size_t nameEntries_ = 0;
    std::vector<PathEntry> paths_;  // in the file's order
    // A path entry whose last name holds a wildcard, tried on every entry:
    // first by what its last name must begin and end with, as it stands.
    struct WildcardLastName {
        std::uint32_t number;      // the path entry, plus one
        std::uint32_t nameOffset;  // its last name, in text_
        std::uint32_t nameLength;
        std::uint32_t headLength;  // the last name's bytes before its first wildcard
        std::uint32_t tailLength;  // its bytes after its last `*`, when they hold no `?`
    };
    std::vector<WildcardLastName> wildcardLastNames_;
    std::size_t skippedPathKeys_ = 0;
    Status status_ = Status::Unreadable;
};

}  // namespace quellstone::scan
