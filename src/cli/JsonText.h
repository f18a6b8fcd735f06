#pragma once

#include <string>
#include <string_view>

namespace quellstone::cli {

// Appends `bytes` as a JSON string. A byte that is not part of valid UTF-8 is
// written as "\udcXX" (XX its value), the surrogate escape that lets a reader
// recover the exact bytes of a file name.
void AppendJsonString(std::string& out, std::string_view bytes);

}  // namespace quellstone::cli
