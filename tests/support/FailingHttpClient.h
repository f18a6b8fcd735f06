#pragma once

#include <memory>
#include <string>

#include "core/ports/HttpClient.h"

namespace quellstone::testing {

// An HTTP client whose every request ends at once without a response, of
// the kind and in the words given: what a test cannot make a real network do
// on demand (a time-out without waiting for it, a name that does not resolve).
class FailingHttpClient final : public ports::HttpClient {
public:
    FailingHttpClient(ports::HttpFailure kind, std::string text) : kind_(kind), text_(std::move(text)) {}
    std::unique_ptr<ports::HttpRequest> NewRequest() override { return std::make_unique<Request>(kind_, text_); }

private:
    struct Request final : ports::HttpRequest {
        Request(ports::HttpFailure kind, std::string text) : kind_(kind), text_(std::move(text)) {}
        bool Start(const std::string&) override { return true; }
        bool StillRunning() override { return false; }
        std::string Headers() override { return {}; }
        std::string NextChunk(std::size_t) override { return {}; }
        void Cancel() override {}
        std::string ErrorText() override { return text_; }
        ports::HttpFailure Failure() override { return kind_; }

        ports::HttpFailure kind_;
        std::string text_;
    };
    ports::HttpFailure kind_;
    std::string text_;
};

}  // namespace quellstone::testing
