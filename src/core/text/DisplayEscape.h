#pragma once

#include <string>
#include <string_view>

namespace quellstone::text {

// Makes a file name or path safe to show: valid, printable UTF-8 stays as it
// is; a byte that is not valid UTF-8, a control character (C0, DEL, C1) or a
// bidirectional formatting character (which can disguise a name's extension)
// is written as "\xHH" per byte, and a backslash as "\\", so the shown text
// names the exact bytes. The path itself is never changed.
std::string EscapeForDisplay(std::string_view bytes);

// Appends "\xHH" for one byte (lower-case hexadecimal digits).
void AppendByteEscape(std::string& out, unsigned char byte);

}  // namespace quellstone::text
