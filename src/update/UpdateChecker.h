#pragma once

#include "HttpFetcher.h"
#include "OfferedVersion.h"
#include "UpdateTrust.h"
#include "config/ConfigurationFile.h"
#include "config/ProgramInfo.h"

#include <cstdint>
#include <functional>
#include <string>

#include <QString>

class QSaveFile;

namespace tarvik {

class Clock;
class DebugLog;
class ErrObject;
class UpdateHost;

// The update description is a few lines: it must come quickly or not at all.
inline FetchLimits DescriptionLimits()
{
    FetchLimits limits;
    limits.idleTimeout = std::chrono::seconds(20);
    limits.totalTimeout = std::chrono::seconds(20);
    limits.maxBytes = 1024 * 1024;
    return limits;
}

// Starts a program as a process of its own, without arguments, and leaves it
// running; true when it started.
bool StartDetachedProgram(const QString& path);

struct UpdateCheckerSettings {
    // Where Update.ini, the setup program and their backups are kept.
    QString programDirectory;
    // The program's INI file: [Updates] URL and LastUpdateCheck.
    ConfigurationFile configuration;
    std::string productName = ProgramInfo::ProductName();
    ProgramVersion runningVersion = ProgramInfo::RunningVersion();
    FetchLimits descriptionLimits = DescriptionLimits();
    // The setup program may take a while; its progress shows in the status bar.
    FetchLimits setupLimits;
    // https only, unless a test trusts its local server.
    AddressTrust trust;
    // The transfers' timers; Qt's when none are given.
    TimerFactory* timers = nullptr;
    // Starts the setup program; true when it runs.
    std::function<bool(const QString& path)> startSetup = StartDetachedProgram;
};

// The update check: fetches the update description Update.ini, compares its
// CurrentVersion with the running version, and on the user's word downloads
// the setup program, backs up the INI file and starts the setup.
//
// Wiring in the main window (which implements UpdateHost):
//   - a one-shot timer of 1000 ms, started at the end of start-up, calls
//     AutomaticCheck() once no analysis runs; it checks at most once an
//     hour, and not at all without an update address;
//   - "Check for Updates" in the Help menu calls CheckOnRequest();
//   - closing the window during a check calls Cancel();
//   - QuitNow() is called when the setup program runs: close and quit.
//
// Every download lands in a temporary file that replaces the old one only
// when it is complete (and, for Update.ini, only when it is a description),
// so a failed transfer leaves the previous files alone.
//
// What an http transfer says can come from anyone on its path, so only a
// description fetched from a secure address counts: a setup program is
// downloaded only when such a description gives its SHA-256
// (UpdateFileSHA256), and runs only when it matches; an UpdateURL is kept
// for later checks only from such a description and only when it is secure
// itself.
class UpdateChecker {
public:
    static constexpr int ThrottleMinutes = 60;

    UpdateChecker(UpdateHost& host, DebugLog& debug, ErrObject& lastError, const Clock& clock,
                  UpdateCheckerSettings settings);

    // The update timer's tick.
    void AutomaticCheck();
    // The menu command: asks first, then checks regardless of the last check.
    void CheckOnRequest();

    // One check; force (the menu command) skips the one-hour throttle. An
    // automatic check (force false) leaves the tabs and an error list that
    // holds something alone. False only when no update address is
    // configured.
    bool UpdateConfig(bool force);

    bool Running() const { return running_; }
    // Ends the running check at once: the transfer stops, its temporary
    // file goes, and nothing more is asked.
    void Cancel();

    // Update.ini's UpdateURL when it is a secure address, else the INI
    // file's URL; empty when neither.
    std::string Address() const;
    QString DescriptionPath() const;
    QString SetupProgramPath() const;
    QString ConfigurationBackupPath() const;

private:
    enum class Outcome { Done, NoAddress, SetupStarted, Cancelled };
    enum class Download { Written, Failed, NotADescription, ChecksumMismatch, Cancelled };

    Outcome Check(bool force, const std::string& address);
    Outcome OfferUpdate(const std::string& setupAddress, bool descriptionSecure);
    bool RefuseUnverifiable(bool descriptionSecure, const std::string& checksum);
    void ReportNoAddress(bool force);
    Download FetchDescription(const QString& url, bool secure);
    // The description as it is kept: without an UpdateURL that must not be followed.
    QByteArray WithoutUntrustedRedirect(const QByteArray& description, bool secure);
    Download FetchSetupProgram(const QString& url, const std::string& expectedSha256);
    FetchResult Fetch(const QString& url, const QString& destination, bool makeBackup,
                      const FetchLimits& limits, const HttpFetcher::DataSink& sink = {},
                      const HttpFetcher::ProgressHandler& onProgress = {});
    void TransferLine(const QString& line);
    bool BackUp(const QString& path);
    // Backs up destination, then puts the finished file in its place.
    Download ReplaceWith(QSaveFile& file, const QString& destination);
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
    bool running_ = false;
    bool cancelled_ = false;
    // The transfer log goes to the error list (else only to the debug log).
    bool showTransferLog_ = true;
};

} // namespace tarvik
