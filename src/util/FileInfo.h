#pragma once

#include "DateTime.h"
#include "Error.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvik {

// Which file a name leads to: a file keeps it when renamed, a new file under
// an old name gets another.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t index = 0; // the inode, or the file index on Windows

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

struct FileInfo {
    FileIdentity identity;
    int64_t size = 0;
    DateTime modified;      // local time
    int64_t modifiedNs = 0; // since 1970, to notice any write
    bool regular = false;   // not a folder, pipe or device
};

// Empty when the path names nothing that can be asked.
std::optional<FileInfo> GetFileInfo(const std::string& path);

// Reads at most count bytes from the start of a file.
Error ReadFilePrefix(const std::string& path, size_t count, std::string& bytes);

} // namespace tarvik
