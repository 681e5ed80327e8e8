#include "LogFile.h"

#include "ErrObject.h"
#include "util/CompilerWarnings.h"
#include "util/FileUtil.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tarvik {

LogFile::LogFile(const Clock& clock, ErrObject& lastError, std::string programDir,
                 std::string_view baseName)
    : clock_(clock)
    , lastError_(lastError)
    , programDir_(std::move(programDir))
    , fileName_(JoinPath(programDir_, std::string(baseName) + ".log"))
    , environment_([](const std::string& variable) {
        const char* value = std::getenv(variable.c_str());
        return std::string(value ? value : "");
    })
{
}

LogFile::~LogFile()
{
    FlushLog();
}

void LogFile::SetBufferSize(int32_t lines)
{
    FlushLog();
    bufferSize_ = std::clamp(lines, 0, MaxBufferSize);
    if (bufferSize_ == 0) {
        writeDelay_ = 0;
        buffer_.clear();
        buffer_.shrink_to_fit();
        return;
    }
    // Lines that a failed flush kept stay for the next flush.
    buffer_.reserve(static_cast<size_t>(bufferSize_));
}

void LogFile::SetWriteDelay(int32_t seconds)
{
    writeDelay_ = std::clamp(seconds, 0, MaxWriteDelay);
    FlushLog();
}

bool LogFile::LogIsEmpty() const
{
    if (BufferUsed() >= 1)
        return false;
    std::error_code code;
    const auto size = std::filesystem::file_size(std::filesystem::path(fileName_), code);
    return code || size == 0;
}

std::string LogFile::ExpandVariables(std::string_view name) const
{
    std::string result;
    size_t pos = 0;
    while (pos < name.size()) {
        const size_t open = name.find('%', pos);
        if (open == std::string_view::npos) {
            result.append(name.substr(pos));
            break;
        }
        const size_t close = name.find('%', open + 1);
        if (close == std::string_view::npos) {
            result.append(name.substr(pos));
            break;
        }
        result.append(name.substr(pos, open - pos));
        result.append(environment_(std::string(name.substr(open + 1, close - open - 1))));
        pos = close + 1;
    }
    return result;
}

void LogFile::SetFileName(std::string_view name)
{
    std::string expanded(Trim(ExpandVariables(name)));
    if (expanded.find('/') == std::string::npos && expanded.find('\\') == std::string::npos)
        expanded = JoinPath(programDir_, expanded);
    if (EqualsNoCase(expanded, fileName_))
        return;
    FlushLog();
    fileName_ = std::move(expanded);
}

void LogFile::ArmNextFlush()
{
    nextFlush_ = clock_.Now().AddSeconds(writeDelay_);
}

void LogFile::FlushIfNecessary()
{
    if (writeDelay_ > 0 && clock_.Now() > nextFlush_)
        FlushLog();
    if (bufferSize_ > 0 && BufferUsed() >= bufferSize_)
        FlushLog();
}

bool LogFile::ClearLog()
{
    buffer_.clear();
    // A name that points at a folder is left alone.
    if (!fileName_.empty() && FileExists(fileName_) && !IsDirectory(fileName_))
        RemoveFile(fileName_);
    return true;
}

bool LogFile::FlushLog()
{
    if (writeDelay_ > 0)
        ArmNextFlush();
    if (bufferSize_ < 1 || buffer_.empty())
        return true;
    std::string text;
    for (const auto& line : buffer_) {
        text += line;
        text += "\r\n";
    }
    if (const Error error = AppendToFile(fileName_, text)) {
        lastError_.SetError(error.number, "Error flushing log file buffer.",
                            error.extendedInfo.empty() ? error.description : error.extendedInfo);
        return false;
    }
    buffer_.clear();
    return true;
}

TARVIK_GCC12_FALSE_RESTRICT_BEGIN
bool LogFile::WriteLog(std::string_view text, bool omitTimestamp)
{
    std::string line;
    if (omitTimestamp) {
        line.assign(text);
    } else {
        line.reserve(text.size() + 28);
        line = "[" + clock_.Now().FormatLogStamp() + "]  ";
        line.append(text);
    }
    if (bufferSize_ > 0) {
        if (BufferUsed() >= bufferSize_ && !FlushLog()) {
            // The file cannot be written (a read-only folder, a full disk):
            // keep the newest lines rather than grow without limit.
            buffer_.erase(buffer_.begin());
        }
        buffer_.push_back(std::move(line));
        FlushIfNecessary();
    } else {
        line += "\r\n";
        AppendToFile(fileName_, line);
    }
    return true;
}
TARVIK_GCC12_FALSE_RESTRICT_END

} // namespace tarvik
