#pragma once

#include "util/Clock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class ErrObject;

// A text log that timestamps its lines and collects them in memory before
// appending them to the file. The file is open only while it is written.
class LogFile {
public:
    static constexpr int32_t MaxBufferSize = 1000;
    static constexpr int32_t MaxWriteDelay = 300;

    // The log starts as <programDir>/<baseName>.log, unbuffered.
    LogFile(const Clock& clock, ErrObject& lastError, std::string programDir,
            std::string_view baseName);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    void SetBufferSize(int32_t lines);
    int32_t BufferSize() const { return bufferSize_; }
    bool BufferDirty() const { return BufferUsed() > 0 && bufferSize_ > 0; }
    void SetWriteDelay(int32_t seconds);
    int32_t WriteDelay() const { return writeDelay_; }
    int32_t BufferUsed() const { return static_cast<int32_t>(buffer_.size()); }
    bool LogIsEmpty() const;

    // %NAME% parts are replaced by environment variables; a bare file name
    // is placed in the program's folder.
    void SetFileName(std::string_view name);
    const std::string& FileName() const { return fileName_; }

    void FlushIfNecessary();
    bool ClearLog();
    bool FlushLog();
    bool WriteLog(std::string_view text, bool omitTimestamp);

    // Lets tests replace the environment lookup.
    using EnvironmentLookup = std::function<std::string(const std::string&)>;
    void SetEnvironmentLookup(EnvironmentLookup lookup) { environment_ = std::move(lookup); }

private:
    void ArmNextFlush();
    std::string ExpandVariables(std::string_view name) const;

    const Clock& clock_;
    ErrObject& lastError_;
    std::string programDir_;
    std::string fileName_;
    int32_t bufferSize_ = 0;
    int32_t writeDelay_ = 0;
    DateTime nextFlush_;
    std::vector<std::string> buffer_;
    EnvironmentLookup environment_;
};

} // namespace tarvik
