#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quellstone::testing {

// A one-thread HTTP server on 127.0.0.1 for the update check's tests: every
// connection gets `response` (raw bytes, status line and all), sent in
// `pieces` parts; with `hold` set, the parts after the first wait until the
// test calls Release(). With `answer` false it accepts and says nothing
// until the client closes the connection.
class TestHttpServer {
public:
    std::string response;
    // Responses by the requested path ("/updates/bdts.dll"); other paths get `response`.
    std::map<std::string, std::string> routes;
    int pieces = 1;
    std::atomic<bool> hold{false};
    std::atomic<bool> answer{true};

    // Lets a held response go on.
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }

    TestHttpServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TestHttpServer() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
        ::close(listener_);
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    [[nodiscard]] std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    [[nodiscard]] int Connections() const { return connections_; }
    // The request line of the latest request, once one has come in (the
    // bound only keeps a broken test from hanging).
    [[nodiscard]] std::string WaitForRequestLine() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(60), [&] { return !lastRequestLine_.empty(); });
        return lastRequestLine_;
    }
    [[nodiscard]] std::string LastRequestLine() {
        const std::lock_guard lock(mutex_);
        return lastRequestLine_;
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd ready{listener_, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0) continue;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            ++connections_;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<std::size_t>(got));
            }
            {
                const std::lock_guard lock(mutex_);
                lastRequestLine_ = request.substr(0, request.find("\r\n"));
            }
            changed_.notify_all();
            if (answer) {
                // A copy: the test may change the routes as soon as the client has read
                // the whole reply, while this loop is still finishing with it.
                const std::string reply = ResponseFor(request);
                const std::size_t part =
                    (reply.size() + static_cast<std::size_t>(pieces) - 1) / static_cast<std::size_t>(pieces);
                for (std::size_t sent = 0; sent < reply.size() && !stop_; sent += part) {
                    const std::string piece = reply.substr(sent, part);
                    ::send(client, piece.data(), piece.size(), MSG_NOSIGNAL);
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return !hold || released_ || stop_; });
                }
            } else {
                // Says nothing until the client gives up (or the server stops).
                while (!stop_) {
                    pollfd peer{client, POLLIN, 0};
                    if (::poll(&peer, 1, 10) <= 0) continue;
                    char byte = 0;
                    if (::recv(client, &byte, 1, 0) <= 0) break;
                }
            }
            ::close(client);
        }
    }

    [[nodiscard]] const std::string& ResponseFor(const std::string& request) const {
        const std::size_t start = request.find(' ') + 1;
        const auto route = routes.find(request.substr(start, request.find(' ', start) - start));
        return route == routes.end() ? response : route->second;
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> released_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::condition_variable changed_;  // a request line, a release or the stop
    std::string lastRequestLine_;
    std::thread thread_;
};

// A full response with a Content-Length.
inline std::string HttpResponse(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace quellstone::testing
