#pragma once

#include <stop_token>
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
// false otherwise, `body` left as it was. A stop requested on `quit` (checked
// before the start and after every yield) cancels the request and returns
// false at once, so quitting from inside the wait unwinds it.
bool DownloadVersionFile(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body,
                         std::stop_token quit = {});

// Why a download failed. `text` and `status` are raw: see ServerTextForDisplay.
struct DownloadFailure {
    // True when the server answered, with a status other than "200": `text` is
    // its status line and `status` its code as sent ("404"). False when no
    // response came: `transport` says why, and `text` in the transport's
    // own words (no connection, a time-out, an unknown host...).
    bool answered = false;
    ports::HttpFailure transport = ports::HttpFailure::None;  // Other when the transport named no kind
    std::string status;
    std::string text;  // "" after a success or a quit
};

// The same download, also saying why it failed in `failure`.
bool DownloadVersionFile(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body,
                         std::stop_token quit, DownloadFailure& failure);

// The version file's text without the white space around it (spaces, tabs,
// CR, LF), so a file ending in a line break reads as its version.
std::string_view TrimVersionText(std::string_view body);

// A version number: one or more runs of decimal digits joined by single dots
// ("1.06", "2", "1.6.2"). Empty text, letters, NUL bytes, a leading, trailing
// or doubled dot are not.
bool IsVersionNumber(std::string_view text);

// What the version file says about the local version.
enum class VersionVerdict {
    NotAVersion,  // the body is no version number: the check failed
    NotNewer,
    Newer,
};

// Compares the trimmed remote text with the local one character by
// character (so "1.1" is newer than "1.05"); a body that is not a version
// number after trimming gives NotAVersion, never Newer.
VersionVerdict CompareVersions(std::string_view remote, std::string_view local);

// The same question as a yes or no: only a valid, greater version is newer.
bool IsNewer(std::string_view remote, std::string_view local);

// Text that came from a server or the network (an error text, a status line,
// a version) made safe to show: its first line without the white space
// around it, at most `maxChars` characters (a character that is not valid
// UTF-8 counts as one; "..." marks a cut), escaped for display. A window
// still shows it as plain text, never as markup.
std::string ServerTextForDisplay(std::string_view text, std::size_t maxChars);

}  // namespace quellstone::update
