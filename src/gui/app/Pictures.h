#pragma once

namespace quellstone::gui {

// Registers the program's pictures (":/pictures/...") compiled into the
// library; call once before the first window is made.
void LoadPictures();

}  // namespace quellstone::gui
