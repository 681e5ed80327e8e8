#pragma once

#include "HttpFetcher.h"
#include "OfferedVersion.h"
#include "app/ConfigurationFile.h"
#include "app/ProgramInfo.h"

#include <cstdint>
#include <string>

#include <QString>

namespace tarvik {

class Clock;
class DebugLog;
class ErrObject;
class UpdateHost;

struct UpdateCheckerSettings {
    // Where Update.ini, the setup program and their backups are kept.
    QString programDirectory;
    // The program's INI file: [Updates] URL and LastUpdateCheck.
    ConfigurationFile configuration;
    std::string productName = ProgramInfo::ProductName();
    ProgramVersion runningVersion = ProgramInfo::RunningVersion();
    FetchLimits limits;
};

// The update check: fetches the update description Update.ini, compares its
// CurrentVersion with the running version, and on the user's word downloads
// the setup program, backs up the INI file and starts the setup.
//
// Wiring in the main window (which implements UpdateHost):
//   - a one-shot timer of 1000 ms, started at the end of start-up, calls
//     AutomaticCheck(); it checks at most once an hour;
//   - "Check for Updates" in the Help menu calls CheckOnRequest();
//   - QuitNow() is called when the setup program runs: close and quit.
//
// Every download lands in a temporary file that replaces the old one only
// when it is complete, so a failed transfer leaves the previous files alone.
// When Update.ini gives UpdateFileSHA256, a setup program with another
// checksum is refused and never started.
class UpdateChecker {
public:
    static constexpr int ThrottleMinutes = 60;

    UpdateChecker(UpdateHost& host, DebugLog& debug, ErrObject& lastError, const Clock& clock,
                  UpdateCheckerSettings settings);

    // The update timer's tick.
    void AutomaticCheck();
    // The menu command: asks first, then checks regardless of the last check.
    void CheckOnRequest();

    // One check; force skips the one-hour throttle. False only when no
    // update address is configured.
    bool UpdateConfig(bool force);
    // Fetches url and, when two bytes or more came back, replaces destination
    // with them, keeping the old file as destination + ".bak" on request.
    // True when the file was written.
    bool GetUpdatedFile(const QString& url, const QString& destination, bool makeBackup);

    QString DescriptionPath() const;
    QString SetupProgramPath() const;
    QString ConfigurationBackupPath() const;

private:
    enum class Outcome { Done, NoAddress, SetupStarted };
    enum class Download { Written, Failed, ChecksumMismatch };

    Outcome Check(bool force);
    Outcome OfferUpdate(const std::string& setupAddress);
    Download FetchFile(const QString& url, const QString& destination, bool makeBackup,
                       const QString& expectedSha256);
    int64_t MinutesSinceLastCheck() const;
    bool BackUpConfiguration();
    static void MakeExecutable(const QString& path);
    bool StartSetupProgram();
    std::string ReadDescription(const char* key) const;
    void Log(int level, const QString& message);
    QString Product() const;

    UpdateHost& host_;
    DebugLog& debug_;
    ErrObject& lastError_;
    const Clock& clock_;
    UpdateCheckerSettings settings_;
    HttpFetcher fetcher_;
};

} // namespace tarvik
