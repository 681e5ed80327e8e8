#pragma once

#include "ListenAddress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct WebServerOptions {
    ListenAddress listen;
    std::vector<std::string> allowedHosts; // names besides loopback and the bound address
    size_t maxStreams = 16;                // event streams at once
    size_t maxConnections = 64;            // connections at once, streams included
    size_t maxQueuedBytes = 8 << 20;       // unsent per stream before it is dropped
};

// The live meter's HTTP server (routes in HttpRoutes). It works on one
// thread and only inside RunFor and Close, so what runs between those calls
// (the follower's tick, Publish) shares the session with it without locks.
class WebServer {
public:
    // state: the body of /api/state, made when asked.
    WebServer(WebServerOptions options, std::function<std::string()> state);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds and starts listening; on failure says why.
    bool Listen(std::string& error);
    uint16_t Port() const;
    // The page: "http://127.0.0.1:8080/".
    std::string Url() const;

    // One --follow line, to every event stream; the line that changes the
    // current fight also goes out as a "current" event.
    void Publish(std::string_view line);
    // Serves for about this long.
    void RunFor(int64_t ms);
    // Serves until every stream has sent what it holds or the time is up,
    // then ends every connection.
    void Close(int64_t ms);
    // Event streams open now.
    size_t StreamCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvik
