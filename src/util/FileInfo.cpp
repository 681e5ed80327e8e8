#include "FileInfo.h"

#include "Clock.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvik {

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

// 100-ns intervals between 1601 and 1970.
constexpr int64_t UnixEpochIn100ns = 116'444'736'000'000'000;

} // namespace

std::optional<FileInfo> GetFileInfo(const std::string& path)
{
    // Sharing everything, so that the game may go on writing and renaming.
    const HANDLE file = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION data{};
    const bool ok = GetFileInformationByHandle(file, &data) != 0;
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    FileInfo info;
    info.identity.device = data.dwVolumeSerialNumber;
    info.identity.index = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    info.size =
        static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    const int64_t written =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    info.modifiedNs = (written - UnixEpochIn100ns) * 100;
    const int64_t ms = info.modifiedNs / 1'000'000;
    info.modified = LocalDateTimeFromUnix(ms / 1000, static_cast<int>(ms % 1000));
    info.regular = type == FILE_TYPE_DISK && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return info;
}

Error ReadFilePrefix(const std::string& path, size_t count, std::string& bytes)
{
    bytes.clear();
    std::FILE* file = _wfopen(Wide(path).c_str(), L"rb");
    if (!file)
        return ErrorFromErrno(errno);
    bytes.resize(count);
    const size_t read = std::fread(bytes.data(), 1, count, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(read);
    return failed ? ErrorFromErrno(EIO) : Error{};
}

#else

std::optional<FileInfo> GetFileInfo(const std::string& path)
{
    struct stat data {};
    if (path.empty() || ::stat(path.c_str(), &data) != 0)
        return std::nullopt;
    FileInfo info;
    info.identity.device = static_cast<uint64_t>(data.st_dev);
    info.identity.index = static_cast<uint64_t>(data.st_ino);
    info.size = static_cast<int64_t>(data.st_size);
    info.modifiedNs =
        static_cast<int64_t>(data.st_mtim.tv_sec) * 1'000'000'000 + data.st_mtim.tv_nsec;
    info.modified = LocalDateTimeFromUnix(data.st_mtim.tv_sec,
                                          static_cast<int>(data.st_mtim.tv_nsec / 1'000'000));
    info.regular = S_ISREG(data.st_mode);
    return info;
}

Error ReadFilePrefix(const std::string& path, size_t count, std::string& bytes)
{
    bytes.clear();
    // Non-blocking, so that a pipe put in a log's place cannot stall the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ErrorFromErrno(errno);
    bytes.resize(count);
    size_t done = 0;
    int failure = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, bytes.data() + done, count - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            failure = errno;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    return failure ? ErrorFromErrno(failure) : Error{};
}

#endif

} // namespace tarvik
