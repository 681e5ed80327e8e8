#include "LogFollower.h"

#include "diag/DebugLog.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <utility>

namespace tarvik {

namespace {

// A mask without "*" cannot name numbered logs: an invalid argument.
constexpr int InvalidArgument = 5;

// Enough of a log's start to hold a dated line, so two sessions never share it.
constexpr size_t FingerprintBytes = 4096;

Error MaskWithoutNumberError()
{
    return Error{InvalidArgument, "Invalid procedure call or argument", {}};
}

// Switching monitoring off has already set the window; nothing to add.
TickResult AbortedTick()
{
    TickResult result;
    result.outcome = TickOutcome::Aborted;
    return result;
}

const LogListEntry* FindEntry(const std::vector<LogListEntry>& logs, const FileIdentity& identity)
{
    for (const LogListEntry& entry : logs) {
        if (entry.info.identity == identity)
            return &entry;
    }
    return nullptr;
}

// 1-based place of name in logs; 0 when it is not there.
int32_t NumberOf(const std::vector<LogListEntry>& logs, const std::string& name)
{
    for (size_t i = 0; i < logs.size(); ++i) {
        if (logs[i].name == name)
            return static_cast<int32_t>(i + 1);
    }
    return 0;
}

} // namespace

LogFollower::LogFollower(MonitorPosition& state, LogFollowerHooks hooks, DebugLog& debug,
                         const Clock& clock)
    : state_(state)
    , hooks_(std::move(hooks))
    , debug_(debug)
    , clock_(clock)
{
}

bool LogFollower::MonitoringEnabled() const
{
    return !hooks_.monitoringEnabled || hooks_.monitoringEnabled();
}

void LogFollower::SetMessage(TickResult& result, std::string text) const
{
    result.messages.push_back(std::move(text));
}

void LogFollower::Fail(TickResult& result, const Error& error, const std::string& current) const
{
    result.outcome = TickOutcome::Failed;
    SetMessage(result, "Error (" + std::to_string(error.number) + ") - " + error.description +
                           " while reading log file " + current + ".");
}

void LogFollower::LogVanished(TickResult& result, const std::string& current)
{
    debug_.LogDebug(">>> ERROR: The current log [" + current +
                        " has vanished!  Real-time monitoring will be disabled.",
                    1);
    result.outcome = TickOutcome::LogVanished;
    result.errorLine = "[" + clock_.Now().Format() +
                       "] - The current log has been removed!  Clearing all information...";
    result.messageBox =
        "The current log has been unexpectedly removed!\nReal-time monitoring has been shut down.";
    result.refreshFileList = true;
    result.switchMonitoringOff = true;
    // The data read so far stay; only the place in the logs is forgotten.
    state_ = {};
}

KnownLog* LogFollower::FindKnown(const FileIdentity& identity)
{
    for (KnownLog& known : state_.logs) {
        if (known.identity == identity)
            return &known;
    }
    return nullptr;
}

void LogFollower::TakeFingerprint(KnownLog& known, const std::string& path) const
{
    const int64_t read = known.cursor.position - 1;
    if (known.fingerprint.size() >= FingerprintBytes || read <= 0 ||
        static_cast<size_t>(read) <= known.fingerprint.size())
        return;
    std::string bytes;
    if (!ReadFilePrefix(path, std::min(FingerprintBytes, static_cast<size_t>(read)), bytes))
        known.fingerprint = std::move(bytes);
}

bool LogFollower::ReadKnownLog(TickResult& result, KnownLog& known, const LogListEntry& entry,
                               const std::string& folder, bool& newData)
{
    // Unchanged since the last read: nothing to open.
    if (entry.info.size == known.size && entry.info.modifiedNs == known.modifiedNs)
        return true;
    const std::string path = JoinPath(folder, entry.name);
    LogCursor cursor = known.cursor;
    std::string start;
    // The game starts its current log afresh when it starts: what is there
    // now is a new session, and the old place in it means nothing.
    if (cursor.position > entry.info.size + 1 ||
        (!known.fingerprint.empty() &&
         (ReadFilePrefix(path, known.fingerprint.size(), start) || start != known.fingerprint))) {
        debug_.Log(1, [&] {
            return "Monitoring:  The log [" + path +
                   "] was started afresh; reading it again from its start.";
        });
        cursor = {};
        known.fingerprint.clear();
    }
    debug_.Log(
        4, [&] { return "Monitoring:  Looking for new entries in current log [" + path + "]."; });
    const bool read = hooks_.analyzeLog(path, cursor);
    if (!MonitoringEnabled()) {
        result = AbortedTick();
        return false;
    }
    known.cursor = cursor;
    known.size = entry.info.size;
    known.modifiedNs = entry.info.modifiedNs;
    TakeFingerprint(known, path);
    if (read) {
        newData = true;
        debug_.LogDebug("Monitoring:  New entries were found in the current log.", 1);
        SetMessage(result, "Reading new entries in current log...");
    }
    return true;
}

bool LogFollower::ReadNewLog(TickResult& result, const LogListEntry& entry,
                             const std::string& folder, bool& newData)
{
    result.refreshFileList = true;
    debug_.Log(1, [&] { return "Monitoring:  Reading new log file [" + entry.name + "]."; });
    SetMessage(result, "Reading new log file " + entry.name + "...");
    result.logFileText = entry.name;
    const std::string path = JoinPath(folder, entry.name);
    LogCursor cursor;
    const bool read = hooks_.analyzeLog(path, cursor);
    if (!MonitoringEnabled()) {
        result = AbortedTick();
        return false;
    }
    if (!read) {
        // Tried again on the next tick. Later logs are still read: an empty
        // old log must not hide the ones after it for good.
        debug_.Log(1, [&] {
            return "Monitoring:  The log analysis of log file [" + entry.name +
                   "] failed or was aborted.";
        });
        return true;
    }
    KnownLog known;
    known.name = entry.name;
    known.identity = entry.info.identity;
    known.cursor = cursor;
    known.size = entry.info.size;
    known.modifiedNs = entry.info.modifiedNs;
    TakeFingerprint(known, path);
    state_.logs.push_back(std::move(known));
    newData = true;
    return true;
}

void LogFollower::FollowNewest(const std::vector<LogListEntry>& logs)
{
    // Only logs already read qualify: their stored place is where to go on.
    const LogListEntry* newest = nullptr;
    for (const LogListEntry& entry : logs) {
        // Equal times: the later name wins, as with logs numbered upward.
        if (FindKnown(entry.info.identity) &&
            (!newest || entry.info.modifiedNs >= newest->info.modifiedNs))
            newest = &entry;
    }
    if (!newest)
        return;
    const KnownLog* known = FindKnown(newest->info.identity);
    if (newest->name != state_.logName) {
        debug_.Log(3,
                   [&] { return "Monitoring:  Now following log file [" + newest->name + "]."; });
        state_.logName = newest->name;
    }
    state_.followed = static_cast<size_t>(known - state_.logs.data()) + 1;
    state_.logNumber = NumberOf(logs, newest->name);
    state_.position = known->cursor.position;
}

std::string TickResult::Message() const
{
    if (!messages.empty())
        return messages.back();
    return outcome == TickOutcome::NothingNew ? "Monitoring log files..." : std::string();
}

void TickResult::Reset()
{
    outcome = TickOutcome::Stopped;
    monitorPanel.clear();
    enableProcessTimer = false;
    logFileText.clear();
    messages.clear();
    refreshFileList = false;
    refreshDetails = false;
    refreshTree = false;
    errorLine.clear();
    messageBox.clear();
    switchMonitoringOff = false;
}

TickResult LogFollower::Tick(const TickInput& input)
{
    TickResult result;
    Tick(input, result);
    return result;
}

void LogFollower::Tick(const TickInput& input, TickResult& result)
{
    result.Reset();
    if (!MonitoringEnabled()) {
        result.outcome = TickOutcome::Stopped;
        return;
    }
    if (input.paused) {
        result.outcome = TickOutcome::Paused;
        result.monitorPanel = "PAUSED";
        return;
    }
    result.monitorPanel = "ACTIVE";
    result.enableProcessTimer = !input.processTimerEnabled;

    KnownLog* followed = state_.Followed();
    // Built only when a message needs it: an idle tick allocates as little as it can.
    auto currentPath = [&] {
        return followed ? JoinPath(input.folder, followed->name) : std::string();
    };
    result.logFileText = state_.logName;
    if (input.mask.find('*') == std::string::npos) {
        // Named after the followed log, or the mask while none is followed.
        Fail(result, MaskWithoutNumberError(),
             followed ? currentPath() : JoinPath(input.folder, input.mask));
        return;
    }

    debug_.LogDebug("Monitoring:  Getting the log file list.", 4);
    const std::vector<LogListEntry>& logs = lister_.List(input.folder, input.mask);
    bool newData = false;
    if (followed) {
        const LogListEntry* entry = FindEntry(logs, followed->identity);
        if (!entry) {
            const std::string current = currentPath();
            if (!FileExists(current)) {
                LogVanished(result, current);
                return;
            }
            // Another file under its name: the old one is gone, the new one
            // is read from its start below.
            state_.followed = 0;
        } else {
            if (entry->name != followed->name) {
                debug_.Log(1, [&] {
                    return "Monitoring:  The log [" + followed->name + "] was renamed to [" +
                           entry->name + "].";
                });
                followed->name = entry->name;
            }
            if (!ReadKnownLog(result, *followed, *entry, input.folder, newData))
                return;
        }
    }
    debug_.Log(4, [&] {
        return "Monitoring:  " + std::to_string(logs.size()) +
               " log file(s) found, currently using log file #" +
               std::to_string(NumberOf(logs, state_.logName)) + ".";
    });
    // The logs not followed: new ones from their start, known ones that grew
    // from their place.
    for (const LogListEntry& entry : logs) {
        KnownLog* known = FindKnown(entry.info.identity);
        if (known && known == state_.Followed())
            continue;
        const bool more = known ? ReadKnownLog(result, *known, entry, input.folder, newData)
                                : ReadNewLog(result, entry, input.folder, newData);
        if (!more)
            return;
        if (known)
            known->name = entry.name;
    }
    FollowNewest(logs);
    result.logFileText = state_.logName;

    if (!newData) {
        result.outcome = TickOutcome::NothingNew;
        return;
    }
    result.outcome = TickOutcome::NewData;
    debug_.LogDebug("Monitoring:  New logs were analyzed successfully.", 3);
    result.refreshDetails = !hooks_.takeDetailChange || hooks_.takeDetailChange();
    result.refreshTree = true;
    SetMessage(result, "Log files read; returning to monitoring...");
    return;
}

} // namespace tarvik
