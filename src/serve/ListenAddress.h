#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// Where the server listens: an IP address (IPv6 without brackets) and a
// port; port 0 lets the system pick a free one.
struct ListenAddress {
    std::string address = "127.0.0.1";
    uint16_t port = 0;
};

// "[ADDRESS:]PORT": "8080", "0.0.0.0:8080", "[::1]:8080", "localhost:0".
// Without an address the server stays on loopback. On an error returns
// nothing and says why.
std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error);

} // namespace tarvik
