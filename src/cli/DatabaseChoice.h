#pragma once

#include <ostream>
#include <string>

#include "core/scan/SignatureDatabase.h"

namespace quellstone::cli {

// Points `signatures` at the database in use: the downloaded one in the
// user's data folder when it verifies with the vendor's key and is newer, else
// the program folder's. A downloaded database that is ignored is reported
// with one warning line on `err`.
void UseDatabaseInUse(scan::SignatureDatabase& signatures, const std::string& programFolder, std::ostream& err);

}  // namespace quellstone::cli
