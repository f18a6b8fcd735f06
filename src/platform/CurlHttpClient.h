#pragma once

#include <chrono>
#include <memory>

#include "core/ports/HttpClient.h"

namespace quellstone::platform {

// HTTP and HTTPS GET with libcurl's multi interface: each StillRunning() does
// a little of the transfer and waits at most 10 ms for the network. A request
// ends with no response after `timeout`, and so does a body larger than
// `maxBody` (a broken or hostile server cannot exhaust memory).
// A transfer slower than `bytesPerSecond` for `during` ends; no limit when 0.
struct LowSpeedLimit {
    long bytesPerSecond = 0;
    std::chrono::seconds during{0};
};

class CurlHttpClient final : public ports::HttpClient {
public:
    static constexpr std::size_t kMaxBody = 16u * 1024 * 1024;

    explicit CurlHttpClient(std::chrono::milliseconds timeout = std::chrono::seconds(60),
                            std::size_t maxBody = kMaxBody, LowSpeedLimit lowSpeed = {})
        : timeout_(timeout), maxBody_(maxBody), lowSpeed_(lowSpeed) {}
    std::unique_ptr<ports::HttpRequest> NewRequest() override;

    // For the database download: a long total time, so a slow link can
    // finish, but a stalled one (under 1 KiB/s for a minute) ends.
    static CurlHttpClient ForDatabase(std::size_t maxBody);

private:
    std::chrono::milliseconds timeout_;
    std::size_t maxBody_;
    LowSpeedLimit lowSpeed_;
};

}  // namespace quellstone::platform
