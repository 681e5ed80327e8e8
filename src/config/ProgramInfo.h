#pragma once

#include "UserOptions.h"

#include <string>

namespace tarvik {

// The running program's name, version and the texts built from them.
struct ProgramInfo {
    static ProgramVersion RunningVersion();
    static std::string ProductName();
    // "v1.00 build 7": major, two-digit minor, revision.
    static std::string VersionText();
    // "Tarvik v1.00 build 7"
    static std::string ProductAndVersion();
    // "Tarvik - <subtitle> - v1.00 build 7"
    static std::string WindowTitle();
    static std::string Subtitle();
    // Where to send a log that broke the analysis.
    static std::string SupportAddress();
    static std::string Tagline();
};

} // namespace tarvik
