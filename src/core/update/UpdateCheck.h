#pragma once

#include <string>
#include <string_view>

#include "core/ports/EventPump.h"
#include "core/ports/HttpClient.h"

namespace quellstone::update {

inline constexpr std::string_view kVersionFilePath = "updates/velkaro.txt";
inline constexpr std::size_t kChunkChars = 1000000;

// The version file's address: the update server followed by updates/velkaro.txt.
std::string VersionFileAddress(std::string_view server);

// Downloads `url`, yielding to `pump` on every turn of the wait. True, with
// `body` set to the whole body, when the status line's second field is "200";
// false otherwise, `body` left as it was.
bool Pobierz(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body);

// Whether the remote version text is newer than the local one: compared
// character by character, after the white space around the remote text
// (spaces, tabs, CR, LF) is removed, so a version file ending in a line break
// is not taken for a newer version.
bool IsNewer(std::string_view remote, std::string_view local);

}  // namespace quellstone::update
