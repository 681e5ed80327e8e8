#include "ConfigurationFile.h"

#include "IniFile.h"
#include "util/FileUtil.h"

namespace tarvik {

ConfigurationFile::ConfigurationFile(std::string path)
    : shipped_(path)
    , user_(std::move(path))
{
}

ConfigurationFile::ConfigurationFile(std::string shipped, std::string user)
    : shipped_(std::move(shipped))
    , user_(std::move(user))
{
}

std::string ConfigurationFile::ReadPath() const
{
    return FileExists(user_) && !IsDirectory(user_) ? user_ : shipped_;
}

std::string ConfigurationFile::Read(std::string_view section, std::string_view key) const
{
    return ReadINI(ReadPath(), section, key);
}

bool ConfigurationFile::Write(std::string_view section, std::string_view key,
                              std::string_view value) const
{
    return !MakeUserCopy() && WriteINI(user_, section, key, value);
}

Error ConfigurationFile::MakeUserCopy() const
{
    if (user_ == shipped_ || FileExists(user_))
        return {};
    std::string contents;
    if (Error error = ReadWholeFile(shipped_, contents))
        return error;
    if (const std::string folder = GetFolderName(user_); !folder.empty()) {
        if (Error error = CreateFolders(folder))
            return error;
    }
    return WriteFileAtomically(user_, contents);
}

} // namespace tarvik
