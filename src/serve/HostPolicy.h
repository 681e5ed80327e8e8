#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The names a request's Host header may give. A page of another site that
// DNS rebinding pointed at this address still sends its own name there, so
// the server answers only for loopback names, its own address and the names
// the player allowed, each with the server's port.
class HostPolicy {
public:
    // boundAddress as the socket tells it ("127.0.0.1", "::1", "0.0.0.0");
    // a wildcard address names no host. allowedNames: host names or IP
    // addresses, without a port.
    HostPolicy(std::string_view boundAddress, uint16_t port,
               const std::vector<std::string>& allowedNames);

    // host: the Host header's value, "name:port" ("[::1]:port"); the port
    // may be left out only when it is 80.
    bool Allows(std::string_view host) const;

private:
    void Add(std::string_view name);

    std::vector<std::string> names_; // lower case, IPv6 addresses in brackets
    uint16_t port_;
};

// Whether NAME can be given to --allow-host: a host name or IP address,
// without a port.
bool IsAllowableHostName(std::string_view name);

} // namespace tarvik
