#pragma once

#include <chrono>
#include <memory>

#include "core/ports/HttpClient.h"

namespace quellstone::platform {

// HTTP and HTTPS GET with libcurl's multi interface: each StillRunning() does
// a little of the transfer and waits at most 10 ms for the network. A request
// ends with no response after `timeout`, and so does a body larger than
// `maxBody` (a broken or hostile server cannot exhaust memory).
class CurlHttpClient final : public ports::HttpClient {
public:
    static constexpr std::size_t kMaxBody = 16u * 1024 * 1024;

    explicit CurlHttpClient(std::chrono::milliseconds timeout = std::chrono::seconds(60),
                            std::size_t maxBody = kMaxBody)
        : timeout_(timeout), maxBody_(maxBody) {}
    std::unique_ptr<ports::HttpRequest> NewRequest() override;

private:
    std::chrono::milliseconds timeout_;
    std::size_t maxBody_;
};

}  // namespace quellstone::platform
