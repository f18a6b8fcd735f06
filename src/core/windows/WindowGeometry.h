#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellstone::windows {

// A window's place and size in screen pixels.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// "x,y,width,height", as the settings file keeps it.
std::string WindowRectText(const WindowRect& rect);

// Reads a stored place and size: four decimal numbers separated by commas
// (spaces around them allowed). nullopt for anything else, for numbers out
// of the range of a screen, and for a width or height below one pixel.
std::optional<WindowRect> ParseWindowRect(std::string_view text);

// The stored place and size as the window may take it on `screen`: at least
// `minimum` wide and high, no larger than the screen, and moved so that the
// whole window lies on it. nullopt when the text is not a stored place.
std::optional<WindowRect> PlaceOnScreen(std::string_view text, const WindowRect& screen, int minimumWidth,
                                        int minimumHeight);

}  // namespace quellstone::windows
