#pragma once

#include <QString>
#include <string>

namespace quellstone::gui {

// A text shown exactly as it is, in a plain-text label (a folder name may hold
// "&" or "<b>"): only its carriage returns become line breaks.
QString ForPlainText(const std::string& text);

// An interface text for a widget that understands "&" accelerators (menus,
// buttons, option buttons): line breaks as above.
QString ForButton(const std::string& text);

// An interface text for a plain label: line breaks as above, and the "&"
// accelerator markers dropped ("&&" stays one "&").
QString ForLabel(const std::string& text);

// Bytes that may not be UTF-8 (a file name) made safe to show.
QString ForDisplay(const std::string& bytes);

}  // namespace quellstone::gui
