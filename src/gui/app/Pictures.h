#pragma once

#include <QIcon>

#include "core/windows/ScanResults.h"

namespace quellstone::gui {

// Registers the program's pictures (":/pictures/...") compiled into the
// library; call once before the first window is made.
void LoadPictures();

// The picture of a result row's state in the scan window's list.
[[nodiscard]] QIcon ResultStatePicture(windows::ResultState state);

}  // namespace quellstone::gui
