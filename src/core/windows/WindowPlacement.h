#pragma once

#include <algorithm>

namespace quellstone::windows {

// A rectangle on the screen in logical pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a secondary window goes: centred over its owner, at most the size of
// the screen's free area (at 200 % a desktop screen has few logical pixels),
// and moved back inside that area where centring would push it out.
inline ScreenRect PlaceOver(const ScreenRect& owner, const ScreenRect& available, int width, int height) {
    ScreenRect placed;
    placed.width = std::clamp(width, 1, std::max(available.width, 1));
    placed.height = std::clamp(height, 1, std::max(available.height, 1));
    placed.x = owner.x + (owner.width - placed.width) / 2;
    placed.y = owner.y + (owner.height - placed.height) / 2;
    placed.x = std::clamp(placed.x, available.x, available.x + available.width - placed.width);
    placed.y = std::clamp(placed.y, available.y, available.y + available.height - placed.height);
    return placed;
}

}  // namespace quellstone::windows
