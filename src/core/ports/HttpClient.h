#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quellstone::ports {

// Why a finished request got no response, as a kind the program can name in
// the user's language (the transport's own words are ErrorText's).
enum class HttpFailure {
    None,             // a response came (whatever its status), or none was asked for yet
    CouldNotConnect,  // the server refused the connection or could not be reached
    TimedOut,         // no whole response within the time allowed, or too slow for too long
    HostNotFound,     // the server's or the proxy's name could not be resolved
    TooLarge,         // the body is larger than the client takes
    Other,            // anything else: a broken answer, a TLS failure, a cancel...
};

// One HTTP GET, driven step by step so the caller can keep its window alive:
// start it, ask whether it still runs (each question does a little of the
// work), then read the response headers and the body in chunks.
class HttpRequest {
public:
    virtual ~HttpRequest() = default;
    // False when the request could not even be started.
    virtual bool Start(const std::string& url) = 0;
    virtual bool StillRunning() = 0;
    // The response's header lines, CR LF ended, status line first; "" when
    // there is no response (refused, timed out, too large, cancelled).
    virtual std::string Headers() = 0;
    // The next part of the body, at most `maxChars` long; "" once all is read.
    virtual std::string NextChunk(std::size_t maxChars) = 0;
    virtual void Cancel() = 0;
    // Why a finished request got no response, in the transport's own words
    // ("Connection refused", "Timeout was reached"); "" when it got one. The
    // text may carry what a server sent: show it only escaped and cut short.
    virtual std::string ErrorText() { return {}; }
    // The kind of that failure; None when a response came.
    virtual HttpFailure Failure() { return ErrorText().empty() ? HttpFailure::None : HttpFailure::Other; }
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual std::unique_ptr<HttpRequest> NewRequest() = 0;
};

}  // namespace quellstone::ports
