#pragma once

#include <memory>
#include <string>

#include "core/ports/HttpClient.h"

namespace quellstone::platform {

// An HTTP client for runs that must not reach the network (the screenshot
// renderer, tests): every request fails at once.
class OfflineHttpClient final : public ports::HttpClient {
public:
    int requests = 0;
    std::unique_ptr<ports::HttpRequest> NewRequest() override {
        ++requests;
        return std::make_unique<Request>();
    }

private:
    struct Request final : ports::HttpRequest {
        bool Start(const std::string&) override { return false; }
        bool StillRunning() override { return false; }
        std::string Headers() override { return {}; }
        std::string NextChunk(std::size_t) override { return {}; }
        void Cancel() override {}
        std::string ErrorText() override { return "no network in this run"; }
        ports::HttpFailure Failure() override { return ports::HttpFailure::CouldNotConnect; }
    };
};

}  // namespace quellstone::platform
