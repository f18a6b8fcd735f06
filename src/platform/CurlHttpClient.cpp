#include "platform/CurlHttpClient.h"

#include <curl/curl.h>

#include <array>
#include <string>

namespace quellstone::platform {

namespace {

ports::HttpFailure FailureOf(CURLcode result) {
    switch (result) {
        case CURLE_OK: return ports::HttpFailure::None;
        case CURLE_COULDNT_CONNECT: return ports::HttpFailure::CouldNotConnect;
        case CURLE_OPERATION_TIMEDOUT: return ports::HttpFailure::TimedOut;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return ports::HttpFailure::HostNotFound;
        case CURLE_FILESIZE_EXCEEDED: return ports::HttpFailure::TooLarge;
        default: return ports::HttpFailure::Other;
    }
}

class CurlRequest final : public ports::HttpRequest {
public:
    CurlRequest(std::chrono::milliseconds timeout, std::size_t maxBody, LowSpeedLimit lowSpeed)
        : timeout_(timeout), maxBody_(maxBody), lowSpeed_(lowSpeed) {}
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;
    ~CurlRequest() override { Release(); }

    bool Start(const std::string& url) override {
        Release();
        headers_.clear();
        body_.clear();
        read_ = 0;
        failed_ = false;
        tooLarge_ = false;
        failure_ = ports::HttpFailure::None;
        error_.clear();
        detail_[0] = '\0';
        multi_ = curl_multi_init();
        easy_ = curl_easy_init();
        if (!multi_ || !easy_) return Fail();
        curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(easy_, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout_.count()));
        if (lowSpeed_.bytesPerSecond > 0) {
            curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, lowSpeed_.bytesPerSecond);
            curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(lowSpeed_.during.count()));
        }
        // A response that announces a body over the limit ends before its body comes.
        curl_easy_setopt(easy_, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBody_));
        curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader);
        curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody);
        curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, detail_.data());
        if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return Fail();
        running_ = true;
        return true;
    }

    bool StillRunning() override {
        if (!running_) return false;
        int active = 0;
        if (curl_multi_perform(multi_, &active) != CURLM_OK) {
            error_ = "the transfer failed";
            failure_ = ports::HttpFailure::Other;
            return Finish(false);
        }
        if (active == 0) {
            int left = 0;
            CURLcode result = CURLE_FAILED_INIT;
            while (const CURLMsg* message = curl_multi_info_read(multi_, &left)) {
                if (message->msg == CURLMSG_DONE) result = message->data.result;
            }
            if (result != CURLE_OK) error_ = detail_[0] != '\0' ? detail_.data() : curl_easy_strerror(result);
            failure_ = FailureOf(result);
            // A body cut off by OnBody ends as a write error: it was too large all the same.
            if (tooLarge_ || failure_ == ports::HttpFailure::TooLarge) {
                failure_ = ports::HttpFailure::TooLarge;
                error_ = "the response is larger than " + std::to_string(maxBody_) + " bytes";
            }
            return Finish(result == CURLE_OK);
        }
        curl_multi_poll(multi_, nullptr, 0, 10, nullptr);
        return true;
    }

    std::string Headers() override { return failed_ || running_ ? std::string() : headers_; }

    std::string NextChunk(std::size_t maxChars) override {
        if (failed_ || running_ || read_ >= body_.size()) return {};
        std::string chunk = body_.substr(read_, maxChars);
        read_ += chunk.size();
        return chunk;
    }

    void Cancel() override {
        if (!running_) return;
        error_ = "cancelled";
        failure_ = ports::HttpFailure::Other;
        Finish(false);
    }

    std::string ErrorText() override { return running_ ? std::string() : error_; }
    ports::HttpFailure Failure() override { return running_ ? ports::HttpFailure::None : failure_; }

private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        auto* request = static_cast<CurlRequest*>(self);
        const std::string_view line(data, size * count);
        // A new status line starts a new response (after "100 Continue" or
        // "103 Early Hints"): only the final response's headers count.
        if (line.starts_with("HTTP/")) request->headers_.clear();
        request->headers_.append(line);
        return size * count;
    }
    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto* request = static_cast<CurlRequest*>(self);
        if (request->body_.size() + size * count > request->maxBody_) {
            request->tooLarge_ = true;
            return 0;  // the transfer ends as failed
        }
        request->body_.append(data, size * count);
        return size * count;
    }
    bool Finish(bool ok) {
        running_ = false;
        failed_ = !ok;
        if (!ok) body_.clear();
        return false;
    }
    bool Fail() {
        Release();
        error_ = "the transfer could not be set up";
        failure_ = ports::HttpFailure::Other;
        failed_ = true;
        return false;
    }
    void Release() {
        if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
        if (easy_) curl_easy_cleanup(easy_);
        if (multi_) curl_multi_cleanup(multi_);
        easy_ = nullptr;
        multi_ = nullptr;
        running_ = false;
    }

    std::chrono::milliseconds timeout_;
    std::size_t maxBody_;
    LowSpeedLimit lowSpeed_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    std::string headers_;
    std::string body_;
    std::string error_;
    std::array<char, CURL_ERROR_SIZE> detail_{};
    std::size_t read_ = 0;
    bool running_ = false;
    bool failed_ = false;
    bool tooLarge_ = false;
    ports::HttpFailure failure_ = ports::HttpFailure::None;
};

}  // namespace

std::unique_ptr<ports::HttpRequest> CurlHttpClient::NewRequest() {
    return std::make_unique<CurlRequest>(timeout_, maxBody_, lowSpeed_);
}

CurlHttpClient CurlHttpClient::ForDatabase(std::size_t maxBody) {
    return CurlHttpClient(std::chrono::minutes(15), maxBody, {1024, std::chrono::seconds(60)});
}

}  // namespace quellstone::platform
