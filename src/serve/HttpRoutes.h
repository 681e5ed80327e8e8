#pragma once

#include "HostPolicy.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// What the server needs of a request to answer it.
struct HttpRequestHead {
    std::string_view method;
    std::string_view target;              // "/overlay?rows=8"
    std::optional<std::string_view> host; // none without a Host header
};

struct HttpReply {
    enum class Kind { Body, Events };
    int status = 200;
    Kind kind = Kind::Body; // Events: the event stream follows the headers
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// The server's routes, decided without the network: the page, the overlay,
// their script and style, the event stream and the state document. Only
// GET and HEAD, only for the allowed Host names.
class HttpRoutes {
public:
    // state: the body of /api/state, made when asked.
    HttpRoutes(HostPolicy hosts, std::function<std::string()> state);

    HttpReply Answer(const HttpRequestHead& request) const;

private:
    HostPolicy hosts_;
    std::function<std::string()> state_;
};

// A plain-text reply with the headers every reply carries.
HttpReply TextReply(int status, std::string text);

} // namespace tarvik
