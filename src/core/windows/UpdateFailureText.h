#pragma once

#include <string>
#include <string_view>

#include "core/i18n/LanguageTable.h"
#include "core/update/DatabaseUpdate.h"
#include "core/update/UpdateCheck.h"

namespace quellstone::windows {

// Why a download from the update server failed, named in the user's
// language: no connection, no answer in time, an unknown server name, an
// error code (the code as the server sent it, escaped and cut short), or
// another failure of the connection.
std::string DownloadFailureReason(const update::DownloadFailure& failure, const i18n::LanguageTable& texts);

// Why a database update failed, named in the user's language; a download's
// failure as DownloadFailureReason names it. Not for an update that succeeded.
std::string DatabaseUpdateFailureReason(const update::DatabaseUpdateResult& result, const i18n::LanguageTable& texts);

// `message` with a second line giving `detail` (the transport's or the
// server's own words, mostly English): its first line, escaped and cut
// short. `message` alone when there is no detail.
std::string WithDetails(std::string message, std::string_view detail, const i18n::LanguageTable& texts);

}  // namespace quellstone::windows
