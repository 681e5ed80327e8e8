#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvik {

struct CliOptions {
    std::string configPath; // empty: where FileLocations finds Tarvik.ini
    bool json = false;
    bool listErrors = false; // every problem line on standard error, not only their count
    std::string user;
    std::vector<std::string> party;
    bool autodetect = false;
    int debugLevel = 0;
    std::vector<std::string> logs;
    bool help = false;
};

// Parses the command line; on a usage error returns nothing and sets error.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);
std::string CliUsage();

} // namespace tarvik
