#include "HostPolicy.h"

#include <algorithm>

namespace tarvik {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsWildcard(std::string_view address)
{
    return address == "0.0.0.0" || address == "::" || address == "[::]";
}

} // namespace

HostPolicy::HostPolicy(std::string_view boundAddress, uint16_t port,
                       const std::vector<std::string>& allowedNames)
    : port_(port)
{
    Add("localhost");
    Add("127.0.0.1");
    Add("::1");
    if (!IsWildcard(boundAddress))
        Add(boundAddress);
    for (const std::string& name : allowedNames)
        Add(name);
}

void HostPolicy::Add(std::string_view name)
{
    if (name.empty())
        return;
    std::string normal = Lower(name);
    if (normal.find(':') != std::string::npos && normal.front() != '[')
        normal = "[" + normal + "]";
    if (std::find(names_.begin(), names_.end(), normal) == names_.end())
        names_.push_back(std::move(normal));
}

bool HostPolicy::Allows(std::string_view host) const
{
    std::string_view name = host;
    std::string_view port;
    bool hasPort = false;
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        if (close == std::string_view::npos)
            return false;
        name = host.substr(0, close + 1);
        const std::string_view rest = host.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return false;
            hasPort = true;
            port = rest.substr(1);
        }
    } else if (const size_t colon = host.find(':'); colon != std::string_view::npos) {
        name = host.substr(0, colon);
        hasPort = true;
        port = host.substr(colon + 1);
    }
    if (hasPort) {
        // Digits only, the value of the server's port ("8080", not "+8080").
        if (port.empty() || port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        unsigned value = 0;
        for (char c : port)
            value = value * 10 + static_cast<unsigned>(c - '0');
        if (value != port_)
            return false;
    } else if (port_ != 80) {
        return false;
    }
    const std::string lower = Lower(name);
    return !lower.empty() && std::find(names_.begin(), names_.end(), lower) != names_.end();
}

bool IsAllowableHostName(std::string_view name)
{
    if (name.empty() || name.size() > 253)
        return false;
    const bool ipv6 = std::count(name.begin(), name.end(), ':') >= 2;
    for (char c : name) {
        const bool letter =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letter && c != '.' && c != '-' && c != '_' &&
            !(ipv6 && (c == ':' || c == '[' || c == ']')))
            return false;
    }
    return true;
}

} // namespace tarvik
