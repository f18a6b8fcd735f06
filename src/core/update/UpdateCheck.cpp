#include "core/update/UpdateCheck.h"

#include <vector>

#include "core/text/DisplayEscape.h"
#include "core/text/Trim.h"
#include "core/text/Utf8.h"

namespace quellstone::update {

namespace {

DownloadFailure NoResponse(ports::HttpRequest& request) {
    const ports::HttpFailure kind = request.Failure();
    return {false, kind == ports::HttpFailure::None ? ports::HttpFailure::Other : kind, {}, request.ErrorText()};
}

}  // namespace

std::string VersionFileAddress(std::string_view server) {
    std::string address(server);
    if (!address.empty() && !address.ends_with('/')) address += '/';
    address += kVersionFilePath;
    return address;
}

bool DownloadVersionFile(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body,
                         std::stop_token quit) {
    DownloadFailure failure;
    return DownloadVersionFile(request, pump, url, body, std::move(quit), failure);
}

bool DownloadVersionFile(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body,
                         std::stop_token quit, DownloadFailure& failure) {
    failure = {};
    if (quit.stop_requested()) return false;
    if (!request.Start(url)) {
        failure = NoResponse(request);
        return false;
    }
    while (request.StillRunning()) {
        pump.ProcessPendingEvents();
        if (quit.stop_requested()) {
            request.Cancel();
            return false;
        }
    }
    std::string headers = request.Headers();
    std::string received;
    for (std::string chunk = request.NextChunk(kChunkChars); !chunk.empty(); chunk = request.NextChunk(kChunkChars)) {
        received += chunk;
    }
    if (const std::size_t end = headers.find("\r\n"); end != std::string::npos) headers.resize(end);
    // Split at each single space: the first field is the protocol, the second the status code.
    std::vector<std::string> fields(1);
    for (const char c : headers) {
        if (c == ' ') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (fields.size() < 2 || fields[1] != "200") {
        // A status line means the server was reached; without one the transport says why.
        if (headers.empty()) {
            failure = NoResponse(request);
        } else {
            failure = {true, ports::HttpFailure::None, fields.size() < 2 ? std::string() : fields[1], headers};
        }
        return false;
    }
    body = std::move(received);
    return true;
}

std::string_view TrimVersionText(std::string_view body) {
    return text::Trim(body, " \t\r\n");
}

bool IsVersionNumber(std::string_view text) {
    bool digitBefore = false;  // the run since the last dot has a digit
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else if (c == '.' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

VersionVerdict CompareVersions(std::string_view remote, std::string_view local) {
    remote = TrimVersionText(remote);
    if (!IsVersionNumber(remote)) return VersionVerdict::NotAVersion;
    return remote > local ? VersionVerdict::Newer : VersionVerdict::NotNewer;
}

bool IsNewer(std::string_view remote, std::string_view local) {
    return CompareVersions(remote, local) == VersionVerdict::Newer;
}

std::string ServerTextForDisplay(std::string_view text, std::size_t maxChars) {
    std::string_view line = TrimVersionText(text);
    line = TrimVersionText(line.substr(0, line.find_first_of("\r\n")));
    const std::string_view kept = text::TruncateCharacters(line, maxChars);
    return text::EscapeForDisplay(kept) + (kept.size() < line.size() ? "..." : "");
}

}  // namespace quellstone::update
