#include "core/windows/WindowGeometry.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace quellstone::windows {

namespace {

// Far beyond any screen; a larger number is not a place the program wrote.
constexpr int kLargestCoordinate = 1'000'000;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<int> NumberOf(std::string_view text) {
    text = Trimmed(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < -kLargestCoordinate || value > kLargestCoordinate) return std::nullopt;
    return value;
}

}  // namespace

WindowRect InsideFrame(const WindowRect& area, const FrameMargins& frame) {
    return {area.x + frame.left, area.y + frame.top, std::max(area.width - frame.left - frame.right, 1),
            std::max(area.height - frame.top - frame.bottom, 1)};
}

std::string WindowRectText(const WindowRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.width) + "," +
           std::to_string(rect.height);
}

std::optional<WindowRect> ParseWindowRect(std::string_view text) {
    std::array<int, 4> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == numbers.size();
        if (last != (comma == std::string_view::npos)) return std::nullopt;
        const std::optional<int> number = NumberOf(text.substr(0, comma));
        if (!number) return std::nullopt;
        numbers[i] = *number;
        text = last ? std::string_view() : text.substr(comma + 1);
    }
    const WindowRect rect{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (rect.width < 1 || rect.height < 1) return std::nullopt;
    return rect;
}

std::optional<WindowRect> PlaceOnScreen(std::string_view text, const WindowRect& screen, int minimumWidth,
                                        int minimumHeight) {
    std::optional<WindowRect> rect = ParseWindowRect(text);
    if (!rect || screen.width < 1 || screen.height < 1) return std::nullopt;
    rect->width = std::clamp(rect->width, std::min(minimumWidth, screen.width), screen.width);
    rect->height = std::clamp(rect->height, std::min(minimumHeight, screen.height), screen.height);
    rect->x = std::clamp(rect->x, screen.x, screen.x + screen.width - rect->width);
    rect->y = std::clamp(rect->y, screen.y, screen.y + screen.height - rect->height);
    return rect;
}

WindowRect PlaceOver(const WindowRect& owner, const WindowRect& available, int width, int height) {
    WindowRect placed;
    placed.width = std::clamp(width, 1, std::max(available.width, 1));
    placed.height = std::clamp(height, 1, std::max(available.height, 1));
    placed.x = owner.x + (owner.width - placed.width) / 2;
    placed.y = owner.y + (owner.height - placed.height) / 2;
    placed.x = std::clamp(placed.x, available.x, available.x + available.width - placed.width);
    placed.y = std::clamp(placed.y, available.y, available.y + available.height - placed.height);
    return placed;
}

}  // namespace quellstone::windows
