#pragma once

#include "util/DateTime.h"
#include "util/FileUtil.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>

namespace tarvik::test {

// A named pipe at path; false where the file system has none (Windows).
inline bool MakePipe(const std::string& path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    return mkfifo(path.c_str(), 0600) == 0;
#endif
}

inline std::string SourceDir()
{
    return TARVIK_SOURCE_DIR;
}

inline std::string ShippedConfigPath()
{
    return SourceDir() + "/data/Tarvik.ini";
}

// Real players' logs kept beside the project (or where TARVIK_SAMPLES
// says, for a checkout elsewhere); tests using them skip when absent.
inline std::string SharedSamplesDir()
{
    if (const char* dir = std::getenv("TARVIK_SAMPLES"); dir && *dir)
        return dir;
    return (std::filesystem::path(SourceDir()) / ".." / "shared" / "samples")
        .lexically_normal()
        .string();
}

// Sets a file's modification time to a local date and time, so that what
// depends on it (the year of a log's lines) is the same in any year.
inline void SetModifiedLocal(const std::string& path, DateTime local)
{
    std::tm parts{};
    parts.tm_year = local.Year() - 1900;
    parts.tm_mon = local.Month() - 1;
    parts.tm_mday = local.Day();
    parts.tm_hour = local.Hour();
    parts.tm_min = local.Minute();
    parts.tm_sec = local.Second();
    parts.tm_isdst = -1;
    const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&parts));
    std::filesystem::last_write_time(PathFromUtf8(path), std::chrono::file_clock::from_sys(moment));
}

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir()
    {
        // create_directory is false for a folder that exists, so no two share one.
        std::random_device random;
        std::filesystem::path folder;
        do {
            folder = std::filesystem::temp_directory_path() /
                     ("tarvik-test-" + std::to_string(random()) + std::to_string(random()));
        } while (!std::filesystem::create_directory(folder));
        path_ = PathToUtf8(folder);
    }
    ~TempDir()
    {
        std::error_code code;
        std::filesystem::remove_all(path_, code);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

} // namespace tarvik::test
