#include "core/update/UpdateCheck.h"

#include <vector>

namespace quellstone::update {

std::string VersionFileAddress(std::string_view server) {
    std::string address(server);
    if (!address.empty() && !address.ends_with('/')) address += '/';
    address += kVersionFilePath;
    return address;
}

bool Pobierz(ports::HttpRequest& request, ports::EventPump& pump, const std::string& url, std::string& body) {
    if (!request.Start(url)) return false;
    while (request.StillRunning()) pump.ProcessPendingEvents();
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
    if (fields.size() < 2 || fields[1] != "200") return false;
    body = std::move(received);
    return true;
}

bool IsNewer(std::string_view remote, std::string_view local) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = remote.find_first_not_of(kSpace);
    remote = first == std::string_view::npos ? std::string_view{} : remote.substr(first);
    remote = remote.substr(0, remote.find_last_not_of(kSpace) + 1);
    return remote > local;
}

}  // namespace quellstone::update
