#pragma once

#include "LogList.h"
#include "LogLister.h"
#include "MonitorPosition.h"
#include "util/Error.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

class Clock;
class DebugLog;

// What the follower asks of the analysis it feeds. It never sees the
// analysis itself, so that this library stays below it.
struct LogFollowerHooks {
    // Required. Reads path from the cursor's position (1-based, 0: the start)
    // to its end. True when at least one line was read; the cursor then holds
    // the next unread byte.
    std::function<bool(const std::string& path, LogCursor& cursor)> analyzeLog;
    // The monitoring switch, asked before the tick and after every read, as a
    // serious read error switches monitoring off. Unset: always on.
    std::function<bool()> monitoringEnabled;
    // Asked after new data: true when the detail view must be redrawn (its
    // character changed, or it shows no single character); clears the change
    // mark. Unset: always redraw.
    std::function<bool()> takeDetailChange;
};

// The window's state that one tick looks at.
struct TickInput {
    std::string folder;  // the log list's folder
    std::string mask;    // LogFileMask: one "*" for the log's number
    bool paused = false; // a mouse button is held on the character tree
    bool processTimerEnabled = true;
};

enum class TickOutcome {
    Stopped,     // monitoring is off: stop the timer
    Paused,      // nothing was read
    NothingNew,  // no log grew, no new log could be read
    NewData,     // lines were read
    LogVanished, // the followed log is gone: switch monitoring off
    Failed,      // a run-time error, told in the message; the next tick starts afresh
    Aborted,     // a serious read error switched monitoring off: nothing more to show
};

// What the window must show and do after one tick.
struct TickResult {
    TickOutcome outcome = TickOutcome::Stopped;
    // The "Monitor" panel; empty: leave it as it is.
    std::string monitorPanel;
    bool enableProcessTimer = false;
    // The followed log's file name for txtLogFileMask; empty: leave it.
    std::string logFileText;
    // Every text given to the "Message" panel, in order; the last one stays.
    // A tick that found nothing new gives none: Message() tells it.
    std::vector<std::string> messages;
    bool refreshFileList = false;
    bool refreshDetails = false;
    bool refreshTree = false;
    // When the followed log vanished: the dated line for the error list, the
    // text of the exclamation box, and monitoring must be switched off.
    std::string errorLine;
    std::string messageBox;
    bool switchMonitoringOff = false;

    // The text the "Message" panel ends with; empty when none was given.
    std::string Message() const;
    // As a new result, keeping the memory of its texts for the next tick.
    void Reset();
};

// The file work of real-time monitoring: every tick reads what the game
// appended to the logs it knows and every log not read before, then follows
// the log the game wrote last. Logs are known by the files they are, so a log
// the game renames (nwclientLog1.txt becoming nwclientLog2.txt as a new
// nwclientLog1.txt starts) goes on from its place, and a log started afresh
// in place (its first bytes changed) is read again from its start. The game
// may number its logs upward or, like the Enhanced Edition, restart
// nwclientLog1.txt at every game start; following the most recently written
// log serves both.
class LogFollower {
public:
    // state is kept by the session, so that clearing all data starts over.
    LogFollower(MonitorPosition& state, LogFollowerHooks hooks, DebugLog& debug,
                const Clock& clock);

    // One tick of the monitoring timer; the window shows and does what the
    // result says, and reads nothing itself.
    TickResult Tick(const TickInput& input);
    // The same into a result kept between ticks: a tick that finds nothing
    // new then allocates nothing.
    void Tick(const TickInput& input, TickResult& result);

private:
    bool MonitoringEnabled() const;
    void SetMessage(TickResult& result, std::string text) const;
    void Fail(TickResult& result, const Error& error, const std::string& current) const;
    void LogVanished(TickResult& result, const std::string& current);
    KnownLog* FindKnown(const FileIdentity& identity);
    // Reads what was appended to a known log, or all of it again when it was
    // started afresh. False when monitoring was switched off by the read.
    bool ReadKnownLog(TickResult& result, KnownLog& known, const LogListEntry& entry,
                      const std::string& folder, bool& newData);
    // Reads a log not read before from its start. False when monitoring was
    // switched off by the read.
    bool ReadNewLog(TickResult& result, const LogListEntry& entry, const std::string& folder,
                    bool& newData);
    void TakeFingerprint(KnownLog& known, const std::string& path) const;
    // Follows the most recently written log that has been read.
    void FollowNewest(const std::vector<LogListEntry>& logs);

    MonitorPosition& state_;
    LogFollowerHooks hooks_;
    LogLister lister_;
    DebugLog& debug_;
    const Clock& clock_;
};

} // namespace tarvik
