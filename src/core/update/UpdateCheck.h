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

// The same download, also saying why it failed in `failure`: the transport's
// error text when no response came, the status line when its status is not
// "200", "" after a success or a quit. Both are raw: see ServerTextForDisplay.
bool DownloadVersionFile(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body,
                         std::stop_token quit, std::string& failure);

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

// How the command line shows a remote version text it received: the first
// line of the trimmed text, at most 64 characters (a character that is not
// valid UTF-8 counts as one), escaped for display.
std::string RemoteVersionForDisplay(std::string_view body);

// Text that came from a server or the network (an error text, a status line,
// a version) made safe for a window: its first line without the white space
// around it, at most `maxChars` characters ("..." marks a cut), escaped for
// display. The window still shows it as plain text, never as markup.
std::string ServerTextForDisplay(std::string_view text, std::size_t maxChars);

}  // namespace quellstone::update
