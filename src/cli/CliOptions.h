#pragma once

#include "serve/ListenAddress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// Which lines without a record are listed on standard error.
enum class ErrorListing : uint8_t { None, Problems, All };

struct CliOptions {
    std::string configPath; // empty: where FileLocations finds Tarvik.ini
    bool json = false;
    bool html = false;                            // the HTML report instead of text
    ErrorListing listErrors = ErrorListing::None; // besides their counts
    bool fights = false;                          // fights, their characters and death recaps
    bool targets = false;                         // what the rolls tell of every enemy
    std::string followDir;  // follow the game's logs there instead of reading LOG files
    int64_t forSeconds = 0; // with followDir: stop after this long; 0: at SIGINT or SIGTERM
    std::optional<ListenAddress> serve;    // with followDir: serve the live meter there
    std::vector<std::string> allowedHosts; // with serve: Host names besides loopback
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
