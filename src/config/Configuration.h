#pragma once

#include "ConfigurationFile.h"
#include "LogFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The real-time tunables, handed to the real-time state as loaded.
struct RealTimeSettings {
    int32_t rollingAverageInterval = 2; // minutes
    int32_t fugueTimerWarning = 30;     // seconds
    int32_t fugueTimerExpiration = 5;   // minutes
    int32_t abAverageRecords = 20;
};

// Everything read from the configuration file at start-up.
struct Configuration {
    std::string path; // the file read at start-up
    // Where later reads and writes (real-time settings, update check) go.
    ConfigurationFile file;
    AnalysisConfig analysis;
    RealTimeSettings realTime;
    std::string windowTitle; // of the game client, for detection
    std::string windowClass;

    bool GameDetectionConfigured() const { return !windowTitle.empty() && !windowClass.empty(); }
};

struct ConfigurationResult {
    std::optional<Configuration> configuration;
    // Set when the program cannot run with this file.
    std::string fatalMessage;
    // Problems that leave the rest of the file usable.
    std::vector<std::string> warnings;
};

// Path of the configuration file: the program's folder and the executable's
// base name with ".ini".
std::string ConfigurationPath(const std::string& programDir, const std::string& exeBaseName);

// Far above any real configuration; a larger file is refused before it is read.
inline constexpr int64_t MaxConfigurationBytes = 4 * 1024 * 1024;

// Reads and checks every section in order; the first fatal problem stops the
// load and is returned as its message.
ConfigurationResult LoadConfiguration(const std::string& path, const std::string& exeBaseName);
// The same for a configuration that may have a user's copy: the copy is read
// when it exists.
ConfigurationResult LoadConfiguration(const ConfigurationFile& file,
                                      const std::string& exeBaseName);

} // namespace tarvik
