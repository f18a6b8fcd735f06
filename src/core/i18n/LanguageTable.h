#pragma once

#include <array>
#include <string>

#include "core/i18n/TextId.h"

namespace quellstone::i18n {

// The program's numbered interface texts, 0 to 999, filled once at start-up
// from the chosen language file. An entry the file does not define is empty.
// A carriage return in a text is a line break.
class LanguageTable {
public:
    static constexpr int kSize = 1000;

    [[nodiscard]] const std::string& Text(int number) const {
        static const std::string kNone;
        return number >= 0 && number < kSize ? entries_[static_cast<std::size_t>(number)] : kNone;
    }
    [[nodiscard]] const std::string& Text(TextId id) const { return Text(static_cast<int>(id)); }
    // Whether no entry holds any text: what a file that could not be read gives.
    [[nodiscard]] bool Empty() const {
        for (const std::string& entry : entries_) {
            if (!entry.empty()) return false;
        }
        return true;
    }
    void Set(int number, std::string text) {
        if (number >= 0 && number < kSize) entries_[static_cast<std::size_t>(number)] = std::move(text);
    }
    // The name of the language the texts came from ("English", "Deutsch", ...),
    // which decides how numbers and dates are written.
    [[nodiscard]] const std::string& Language() const { return language_; }
    void SetLanguage(std::string name) { language_ = std::move(name); }

private:
    std::array<std::string, kSize> entries_;
    std::string language_;
};

}  // namespace quellstone::i18n
