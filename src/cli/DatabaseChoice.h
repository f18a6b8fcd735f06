#pragma once

#include <ostream>
#include <string>

#include "cli/Command.h"
#include "core/scan/SignatureDatabase.h"

namespace quellstone::cli {

// Points `signatures` at the database in use: the downloaded one in the
// user's data folder when it verifies with the vendor's key and is newer, else
// the shipped one. A downloaded database that is ignored is reported
// with one warning line on `io.err`.
void UseDatabaseInUse(scan::SignatureDatabase& signatures, const CommandIo& io);

// "Database in use: VERSION, PATH (where it comes from)": the newest of the
// shipped database, the system's and the user's, as scans choose it.
std::string DatabaseInUseLine(const platform::InstallLayout& layout);

}  // namespace quellstone::cli
