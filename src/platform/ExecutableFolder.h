#pragma once

#include <string>

namespace quellstone::platform {

// The folder that holds the running executable, links resolved, without a
// trailing "/": the program folder with the database and the language files.
std::string ExecutableFolder();

}  // namespace quellstone::platform
