#pragma once

#include "Error.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// Paths are UTF-8 throughout the program; these hand them to the system and
// back (as UTF-16 on Windows, so that any letter works in a folder name).
std::filesystem::path PathFromUtf8(std::string_view path);
std::string PathToUtf8(const std::filesystem::path& path);
// std::fopen for a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);
// An environment variable as UTF-8; empty when it is not set.
std::string EnvironmentVariable(const std::string& name);

// True when the path names an existing entry (file or folder); any error
// counts as false.
bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// folder + separator + name; a folder that already ends with a separator
// gets no second one.
std::string JoinPath(std::string_view folder, std::string_view name);
// The trimmed part after the last separator (the whole trimmed path without one).
std::string GetFileName(std::string_view path);
// The part before the last separator, blanks trimmed (empty without one).
std::string GetFolderName(std::string_view path);
// The file name without its last extension.
std::string GetBaseName(std::string_view path);

// Reads a whole file; an Error on failure.
Error ReadWholeFile(const std::string& path, std::string& contents);
// Writes to a temporary file beside the target and renames it over the
// target, so that a crash never leaves half a file. A symbolic link is
// followed (the link stays a link) and the file keeps its permissions.
Error WriteFileAtomically(const std::string& path, std::string_view contents);
// Appends to a file, creating it.
Error AppendToFile(const std::string& path, std::string_view contents);
Error RemoveFile(const std::string& path);
Error CopyFile(const std::string& from, const std::string& to);
// Creates the folder and any missing parents; an existing folder is fine.
Error CreateFolders(const std::string& path);
// True when a file can be created in the folder (tried, not guessed from
// permission bits, which Windows folders do not reflect).
bool IsFolderWritable(const std::string& folder);

// The folder and base name of the running executable.
std::string ExecutablePath(const char* argv0);

} // namespace tarvik
