#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quellstone::scan {

// The signature section of the database loaded once into a hash map, keyed by
// the upper-cased key. Built with the same line rules as a keyed read (first
// matching section, first line of a key wins, trimming, quotes, values cut to
// 1023 characters), so a lookup gives exactly what a keyed read would.
class SignatureIndex {
public:
    enum class Status { Loaded, Unreadable, NoSection };

    SignatureIndex() = default;
    static SignatureIndex Build(std::string_view decodedText, std::string_view section);
    static SignatureIndex Unreadable();

    // The stored value for a name that is already upper-cased; empty when the
    // name is clean.
    [[nodiscard]] std::string_view Find(std::string_view upperName) const {
        const auto it = entries_.find(upperName);
        return it == entries_.end() ? std::string_view{} : std::string_view(it->second);
    }

    [[nodiscard]] Status LoadStatus() const { return status_; }
    [[nodiscard]] std::size_t Size() const { return entries_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };

    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> entries_;
    Status status_ = Status::Unreadable;
};

}  // namespace quellstone::scan
