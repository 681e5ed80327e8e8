#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::fuzz {

// A folder of the fuzzer's own, for the files the entry points read.
inline const std::string& WorkFolder()
{
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvik-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
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
