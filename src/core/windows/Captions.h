#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "core/i18n/LanguageTable.h"

namespace quellstone::windows {

// Which interface text a window's control shows.
template <class Control>
struct CaptionEntry {
    Control control;
    i18n::TextId text;
};

// The texts of a window's controls, one per value of `Control` (an enum
// whose last value is `Count`), filled from a table of interface texts.
template <class Control>
class Captions {
public:
    [[nodiscard]] const std::string& operator[](Control control) const { return texts_[Index(control)]; }
    void Set(Control control, std::string text) { texts_[Index(control)] = std::move(text); }
    // Assigns in place: for a caption that changes with every entry of a walk.
    void Assign(Control control, std::string_view text) { texts_[Index(control)].assign(text); }
    void Apply(std::span<const CaptionEntry<Control>> entries, const i18n::LanguageTable& texts) {
        for (const CaptionEntry<Control>& entry : entries) Set(entry.control, texts.Text(entry.text));
    }

private:
    static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }
    std::array<std::string, static_cast<std::size_t>(Control::Count)> texts_;
};

}  // namespace quellstone::windows
