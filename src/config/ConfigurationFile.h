#pragma once

#include "util/Error.h"

#include <string>
#include <string_view>

namespace tarvik {

// The configuration file as the program reads and writes it after start-up.
// Reads see the user's copy once it exists, else the shipped file; the first
// write makes the user's copy from the shipped file, so that a change never
// touches the shipped one (which may not even be writable).
class ConfigurationFile {
public:
    ConfigurationFile() = default;
    // A file read and written in place, as in a portable folder.
    explicit ConfigurationFile(std::string path);
    ConfigurationFile(std::string shipped, std::string user);

    std::string ReadPath() const;
    const std::string& WritePath() const { return user_; }

    std::string Read(std::string_view section, std::string_view key) const;
    // True when the value was written.
    bool Write(std::string_view section, std::string_view key, std::string_view value) const;
    // Makes the user's copy (and its folder) from the shipped file when it
    // does not exist yet.
    Error MakeUserCopy() const;

private:
    std::string shipped_;
    std::string user_;
};

} // namespace tarvik
