#include "ListenAddress.h"

#include <charconv>

namespace tarvik {

namespace {

std::optional<uint16_t> ParsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

} // namespace

std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error)
{
    ListenAddress listen;
    std::string_view port = text;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            error = "--serve takes [ADDRESS:]PORT, an IPv6 address in brackets: [::1]:8080.";
            return std::nullopt;
        }
        listen.address = std::string(text.substr(1, close - 1));
        port = text.substr(close + 2);
    } else if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        if (text.find(':') != colon) {
            error = "--serve: an IPv6 address goes in brackets: [::1]:8080.";
            return std::nullopt;
        }
        listen.address = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
    }
    if (listen.address.empty()) {
        error = "--serve takes [ADDRESS:]PORT with an address before the colon.";
        return std::nullopt;
    }
    if (listen.address == "localhost")
        listen.address = "127.0.0.1";
    const auto number = ParsePort(port);
    if (!number) {
        error = "--serve takes a port from 0 to 65535 (0: any free port).";
        return std::nullopt;
    }
    listen.port = *number;
    return listen;
}

} // namespace tarvik
