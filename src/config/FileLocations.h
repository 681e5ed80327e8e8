#pragma once

#include "ConfigurationFile.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// What decides where Tarvik's files live. The caller finds the folders (the
// windows through QStandardPaths, tarvik-cli through UserFoldersFrom), so the
// rule itself needs neither Qt nor the system.
struct FileLocationInputs {
    std::string programDir; // the executable's folder
    std::string configName = "Tarvik.ini";
    bool programDirWritable = false;
    std::string userConfigDir; // the user's configuration folder for Tarvik
    std::string userDataDir;   // the user's data folder for Tarvik
};

// Where Tarvik reads the files it ships and writes its own.
//
// When the program's folder holds the configuration and can be written (a
// portable folder, or the build folder), everything stays beside the
// program. Otherwise the shipped files are read from beside the program
// when they are there (an install under Windows' Program Files), else from
// ../share/tarvik (an install under /usr or ~/.local); and what Tarvik writes
// goes to the user's folders: the configuration folder for the user's copy
// of the configuration, the data folder for the debug log, the update
// description and downloads.
struct FileLocations {
    bool portable = true;
    std::string programDir;
    std::string shippedDir;    // configuration as shipped, help, history
    std::string shippedConfig; // in shippedDir
    std::string userConfig;    // the user's copy; the shipped file when portable
    std::string dataDir;       // debug log, Update.ini, downloads

    static FileLocations Decide(const FileLocationInputs& inputs);
    // Where an install puts the shipped files: ../share/tarvik from the
    // program's folder (as configured with GNUInstallDirs).
    static std::string InstalledShippedDir(const std::string& programDir);
    static FileLocations Portable(const std::string& programDir,
                                  const std::string& configName = "Tarvik.ini");

    std::string ShippedFile(std::string_view name) const;
    std::string DataFile(std::string_view name) const;
    ConfigurationFile Configuration() const;
    // One line per kind of file, for the About box.
    std::vector<std::string> Describe() const;
};

// The user's folders for Tarvik as QStandardPaths names them, read from the
// environment for tarvik-cli, which has no Qt: on Windows both in
// %LOCALAPPDATA%, elsewhere in $XDG_CONFIG_HOME and $XDG_DATA_HOME (or
// ~/.config and ~/.local/share).
struct UserFolders {
    std::string config;
    std::string data;
};
using EnvironmentLookup = std::function<std::string(const std::string&)>;
UserFolders UserFoldersFrom(const EnvironmentLookup& environment);

// The game's usual log folders, in the order they are tried: the Enhanced
// Edition's on Linux (under ~/.local/share), then on Windows and macOS
// (under Documents). Empty folders given give no candidate.
std::vector<std::string> GameLogFolders(const std::string& home, const std::string& documents);
// The folder the log list starts in: the stored one while it exists, else
// the first of the game's folders that exists, else fallback.
std::string ChooseLogFolder(const std::string& stored, const std::vector<std::string>& gameFolders,
                            const std::string& fallback);

} // namespace tarvik
