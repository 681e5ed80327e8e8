#include "FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// Not the Win32 macro that would rename our own CopyFile.
#undef CopyFile
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "Encoding.h"
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

fs::path PathFromUtf8(std::string_view path)
{
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string PathToUtf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::FILE* OpenFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    return ::_wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::string EnvironmentVariable(const std::string& name)
{
#ifdef _WIN32
    const wchar_t* value = ::_wgetenv(Utf8ToWide(name).c_str());
    return value ? Utf16ToUtf8(std::wstring_view(value)) : std::string();
#else
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
#endif
}

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code code;
    return fs::exists(PathFromUtf8(path), code) && !code;
}

bool IsDirectory(const std::string& path)
{
    std::error_code code;
    return !path.empty() && fs::is_directory(PathFromUtf8(path), code) && !code;
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
    std::FILE* file = OpenFile(path, "rb");
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
    fs::path target = PathFromUtf8(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code code;
        if (!fs::is_symlink(target, code) || code)
            break;
        const fs::path next = fs::read_symlink(target, code);
        if (code)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return PathToUtf8(target);
}

} // namespace

Error WriteFileAtomically(const std::string& path, std::string_view contents)
{
    const std::string target = FinalTarget(path);
    const std::string temporary = target + ".tmp~";
    std::FILE* file = OpenFile(temporary, "wb");
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
        RemoveFile(temporary);
        return ErrorFromErrno(writeErrno ? writeErrno : EIO);
    }
    std::error_code code;
    fs::rename(PathFromUtf8(temporary), PathFromUtf8(target), code);
    if (code) {
        RemoveFile(temporary);
        return FromErrorCode(code, {});
    }
    return {};
}

Error AppendToFile(const std::string& path, std::string_view contents)
{
    std::FILE* file = OpenFile(path, "ab");
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
    if (!fs::remove(PathFromUtf8(path), code) && code)
        return FromErrorCode(code, "Failed to delete " + path);
    return {};
}

Error CopyFile(const std::string& from, const std::string& to)
{
    std::error_code code;
    fs::copy_file(PathFromUtf8(from), PathFromUtf8(to), fs::copy_options::overwrite_existing, code);
    if (code)
        return FromErrorCode(code, "Failed to copy " + from + " to " + to);
    return {};
}

Error CreateFolders(const std::string& path)
{
    std::error_code code;
    fs::create_directories(PathFromUtf8(path), code);
    if (code)
        return FromErrorCode(code, "Failed to create the folder " + path);
    return {};
}

bool IsFolderWritable(const std::string& folder)
{
    if (!IsDirectory(folder))
        return false;
    const std::string probe = JoinPath(folder, ".tarvik-write-test.tmp~");
    std::FILE* file = OpenFile(probe, "wb");
    if (!file)
        return false;
    std::fclose(file);
    RemoveFile(probe);
    return true;
}

std::string ExecutablePath(const char* argv0)
{
#if defined(_WIN32)
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            break;
        if (length < buffer.size())
            return Utf16ToUtf8(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
#elif defined(__linux__)
    std::error_code code;
    const fs::path self = fs::read_symlink("/proc/self/exe", code);
    if (!code)
        return PathToUtf8(self);
#endif
    std::error_code code2;
    const fs::path absolute = fs::absolute(PathFromUtf8(argv0 ? argv0 : ""), code2);
    return code2 ? std::string(argv0 ? argv0 : "") : PathToUtf8(absolute);
}

} // namespace tarvik
