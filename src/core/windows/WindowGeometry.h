#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellstone::windows {

// A window's or a screen area's place and size in logical screen pixels.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// How far a window's frame (title bar and borders) reaches beyond its inside.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The part of `area` a window's inside may take so that its frame stays in `area`.
WindowRect InsideFrame(const WindowRect& area, const FrameMargins& frame);

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

// Where a secondary window goes: centred over its owner, at most the size of
// the screen's free area (at 200 % a desktop screen has few logical pixels),
// and moved back inside that area where centring would push it out.
WindowRect PlaceOver(const WindowRect& owner, const WindowRect& available, int width, int height);

}  // namespace quellstone::windows
