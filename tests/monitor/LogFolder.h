#pragma once

#include "TestSupport.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace tarvik::test {

// A temporary folder of game logs whose modification times the test sets,
// so that "written last" never depends on the file system's clock.
class LogFolder {
public:
    const std::string& Path() const { return dir_.Path(); }
    std::string File(const std::string& name) const { return dir_.File(name); }

    // Replaces the log's contents; it was last written minutesAgo.
    void Write(const std::string& name, const std::string& text, int minutesAgo = 0) const
    {
        Put(name, text, std::ios::trunc, minutesAgo);
    }
    void Append(const std::string& name, const std::string& text, int minutesAgo = 0) const
    {
        Put(name, text, std::ios::app, minutesAgo);
    }
    void Remove(const std::string& name) const { std::filesystem::remove(File(name)); }

private:
    void Put(const std::string& name, const std::string& text, std::ios::openmode mode,
             int minutesAgo) const
    {
        {
            std::ofstream out(File(name), std::ios::binary | mode);
            out << text;
        }
        std::filesystem::last_write_time(File(name), base_ - std::chrono::minutes(minutesAgo));
    }

    TempDir dir_;
    std::filesystem::file_time_type base_ = std::filesystem::file_time_type::clock::now();
};

} // namespace tarvik::test
