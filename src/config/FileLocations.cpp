#include "FileLocations.h"

#include "util/FileUtil.h"

namespace tarvik {

namespace {

std::string Normalized(const std::string& path)
{
    std::string normal = PathToUtf8(PathFromUtf8(path).lexically_normal());
    // "/usr/share/tarvik/" and "/usr/share/tarvik" name one folder.
    while (normal.size() > 1 && (normal.back() == '/' || normal.back() == '\\'))
        normal.pop_back();
    return normal;
}

} // namespace

std::string FileLocations::InstalledShippedDir(const std::string& programDir)
{
    return Normalized(JoinPath(programDir, TARVIK_SHIPPED_FROM_BIN));
}

FileLocations FileLocations::Portable(const std::string& programDir, const std::string& configName)
{
    FileLocations files;
    files.portable = true;
    files.programDir = programDir;
    files.shippedDir = programDir;
    files.shippedConfig = JoinPath(programDir, configName);
    files.userConfig = files.shippedConfig;
    files.dataDir = programDir;
    return files;
}

FileLocations FileLocations::Decide(const FileLocationInputs& inputs)
{
    const bool shippedBeside = FileExists(JoinPath(inputs.programDir, inputs.configName));
    const std::string share = InstalledShippedDir(inputs.programDir);
    const bool shippedInShare = !shippedBeside && FileExists(JoinPath(share, inputs.configName));
    // Without a configuration anywhere, the program's folder is where it was
    // looked for, and where the message says it is missing.
    if (!shippedInShare && inputs.programDirWritable)
        return Portable(inputs.programDir, inputs.configName);

    FileLocations files;
    files.portable = false;
    files.programDir = inputs.programDir;
    files.shippedDir = shippedInShare ? share : inputs.programDir;
    files.shippedConfig = JoinPath(files.shippedDir, inputs.configName);
    files.userConfig = inputs.userConfigDir.empty()
                           ? files.shippedConfig
                           : JoinPath(inputs.userConfigDir, inputs.configName);
    files.dataDir = inputs.userDataDir.empty() ? inputs.programDir : inputs.userDataDir;
    return files;
}

std::string FileLocations::ShippedFile(std::string_view name) const
{
    return JoinPath(shippedDir, name);
}

std::string FileLocations::DataFile(std::string_view name) const
{
    return JoinPath(dataDir, name);
}

ConfigurationFile FileLocations::Configuration() const
{
    return ConfigurationFile(shippedConfig, userConfig);
}

std::vector<std::string> FileLocations::Describe() const
{
    if (portable)
        return {"Everything Tarvik writes stays beside the program, in " + programDir + "."};
    std::vector<std::string> lines;
    if (FileExists(userConfig))
        lines.push_back("Your configuration: " + userConfig);
    else
        lines.push_back("Configuration: " + shippedConfig + " (your own copy, " + userConfig +
                        ", is made when you change a setting)");
    lines.push_back("Debug log and update downloads: " + dataDir);
    lines.push_back("Help and version history: " + shippedDir);
    return lines;
}

UserFolders UserFoldersFrom(const EnvironmentLookup& environment)
{
    UserFolders folders;
#ifdef _WIN32
    const std::string local = environment("LOCALAPPDATA");
    if (!local.empty())
        folders.config = folders.data = JoinPath(local, "Tarvik");
#else
    const std::string home = environment("HOME");
    // As QStandardPaths: a relative XDG folder is ignored.
    const auto base = [&](const char* variable, const char* underHome) {
        std::string folder = environment(variable);
        if (!folder.empty() && folder.front() == '/')
            return folder;
        return home.empty() ? std::string() : JoinPath(home, underHome);
    };
    if (std::string config = base("XDG_CONFIG_HOME", ".config"); !config.empty())
        folders.config = JoinPath(config, "Tarvik");
    if (std::string data = base("XDG_DATA_HOME", ".local/share"); !data.empty())
        folders.data = JoinPath(data, "Tarvik");
#endif
    return folders;
}

std::vector<std::string> GameLogFolders(const std::string& home, const std::string& documents)
{
    std::vector<std::string> folders;
    if (!home.empty())
        folders.push_back(JoinPath(
            JoinPath(JoinPath(JoinPath(home, ".local"), "share"), "Neverwinter Nights"), "logs"));
    if (!documents.empty())
        folders.push_back(JoinPath(JoinPath(documents, "Neverwinter Nights"), "logs"));
    return folders;
}

std::string ChooseLogFolder(const std::string& stored, const std::vector<std::string>& gameFolders,
                            const std::string& fallback)
{
    if (IsDirectory(stored))
        return stored;
    for (const auto& folder : gameFolders) {
        if (IsDirectory(folder))
            return folder;
    }
    return fallback;
}

} // namespace tarvik
