#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/ports/HttpClient.h"

namespace quellstone::platform {

// An HTTP client for runs that must not reach the network (the screenshot
// renderer, tests): every request fails at once, as no connection unless
// told otherwise (a test names a time-out or an unknown name without waiting for one).
class OfflineHttpClient final : public ports::HttpClient {
public:
    explicit OfflineHttpClient(ports::HttpFailure failure = ports::HttpFailure::CouldNotConnect,
                               std::string text = "no network in this run")
        : failure_(failure), text_(std::move(text)) {}
    int requests = 0;
    std::unique_ptr<ports::HttpRequest> NewRequest() override {
        ++requests;
        return std::make_unique<Request>(failure_, text_);
    }

private:
    struct Request final : ports::HttpRequest {
        Request(ports::HttpFailure failure, std::string text) : failure_(failure), text_(std::move(text)) {}
        bool Start(const std::string&) override { return false; }
        bool StillRunning() override { return false; }
        std::string Headers() override { return {}; }
        std::string NextChunk(std::size_t) override { return {}; }
        void Cancel() override {}
        std::string ErrorText() override { return text_; }
        ports::HttpFailure Failure() override { return failure_; }
        ports::HttpFailure failure_;
        std::string text_;
    };
    ports::HttpFailure failure_;
    std::string text_;
};

}  // namespace quellstone::platform
