#include "FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "Text.h"

namespace tarvik {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

size_t LastSeparator(std::string_view path)
{
#ifdef _WIN32
    return path.find_last_of("/\\");
#else
    return path.find_last_of('/');
#endif
}

Error FromErrorCode(const std::error_code& code, std::string description)
{
    return ErrorFromErrno(code.value(), std::move(description));
}

} // namespace

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code code;
    return fs::exists(fs::path(path), code) && !code;
}

bool IsDirectory(const std::string& path)
{
    std::error_code code;
    return !path.empty() && fs::is_directory(fs::path(path), code) && !code;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string result(folder);
    if (!result.empty() && !IsSeparator(result.back()))
        result.push_back(PathSeparator);
    result.append(name);
    return result;
}

std::string GetFileName(std::string_view path)
{
    const size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos)
        return std::string(Trim(path));
    return std::string(Trim(path.substr(sep + 1)));
}

std::string GetFolderName(std::string_view path)
{
    const size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    if (sep == 0)
        return std::string(1, path[0]);
    return std::string(Trim(path.substr(0, sep)));
}

std::string GetBaseName(std::string_view path)
{
    std::string name = GetFileName(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

Error ReadWholeFile(const std::string& path, std::string& contents)
{
    contents.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return ErrorFromErrno(errno);
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return ErrorFromErrno(EIO);
    return {};
}

namespace {

// The file a path names: a symbolic link is followed to its target (also a
// dangling one, which the write then creates), so that the link stays.
std::string FinalTarget(const std::string& path)
{
    fs::path target(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code code;
        if (!fs::is_symlink(target, code) || code)
            break;
        const fs::path next = fs::read_symlink(target, code);
        if (code)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target.string();
}

} // namespace

Error WriteFileAtomically(const std::string& path, std::string_view contents)
{
    const std::string target = FinalTarget(path);
    const std::string temporary = target + ".tmp~";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return ErrorFromErrno(errno);
#ifndef _WIN32
    // The new file keeps the old one's permissions (a private 600 stays private).
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(::fileno(file), old.st_mode & 07777);
#endif
    bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    ok = std::fflush(file) == 0 && ok;
#ifndef _WIN32
    ok = ::fsync(::fileno(file)) == 0 && ok;
#endif
    const int writeErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::remove(temporary.c_str());
        return ErrorFromErrno(writeErrno ? writeErrno : EIO);
    }
    std::error_code code;
    fs::rename(fs::path(temporary), fs::path(target), code);
    if (code) {
        std::remove(temporary.c_str());
        return FromErrorCode(code, {});
    }
    return {};
}

Error AppendToFile(const std::string& path, std::string_view contents)
{
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return ErrorFromErrno(errno);
    bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const int writeErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        return ErrorFromErrno(writeErrno ? writeErrno : EIO);
    return {};
}

Error RemoveFile(const std::string& path)
{
    std::error_code code;
    if (!fs::remove(fs::path(path), code) && code)
        return FromErrorCode(code, "Failed to delete " + path);
    return {};
}

Error CopyFile(const std::string& from, const std::string& to)
{
    std::error_code code;
    fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, code);
    if (code)
        return FromErrorCode(code, "Failed to copy " + from + " to " + to);
    return {};
}

std::string ExecutablePath(const char* argv0)
{
#ifdef __linux__
    std::error_code code;
    const fs::path self = fs::read_symlink("/proc/self/exe", code);
    if (!code)
        return self.string();
#endif
    std::error_code code2;
    const fs::path absolute = fs::absolute(fs::path(argv0 ? argv0 : ""), code2);
    return code2 ? std::string(argv0 ? argv0 : "") : absolute.string();
}

} // namespace tarvik
