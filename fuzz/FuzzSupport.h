#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::fuzz {

// A folder of the fuzzer's own, for the files the entry points read; removed
// at exit, after the statics that were built using it.
inline const std::string& WorkFolder()
{
    struct Folder {
        Folder()
        {
            path = (std::filesystem::temp_directory_path() / "tarvik-fuzz-XXXXXX").string();
            if (!mkdtemp(path.data()))
                std::abort();
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    };
    static const Folder folder;
    return folder.path;
}

inline std::string WriteFile(const char* name, std::string_view bytes, bool append = false)
{
    const std::string path = WorkFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    std::fclose(file);
    return path;
}

} // namespace tarvik::fuzz
