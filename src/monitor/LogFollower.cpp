#include "LogFollower.h"

#include "diag/DebugLog.h"
#include "util/Clock.h"
#include "util/CompilerWarnings.h"
#include "util/FileUtil.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace tarvik {

namespace {

// A mask without "*" cannot name numbered logs: an invalid argument.
constexpr int InvalidArgument = 5;

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

TARVIK_GCC12_FALSE_RESTRICT_BEGIN
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
TARVIK_GCC12_FALSE_RESTRICT_END

void LogFollower::Remember(const std::string& name, int64_t position)
{
    state_.readPositions[name] = position;
    if (name == state_.logName)
        state_.position = position;
}

bool LogFollower::ReadCurrentLog(TickResult& result, const std::string& current, bool& newData)
{
    std::error_code code;
    const auto size = std::filesystem::file_size(std::filesystem::path(current), code);
    if (code) {
        Fail(result, ErrorFromErrno(code.value()), current);
        return false;
    }
    int64_t position = state_.position;
    // The game starts its current log afresh when it starts: what is there
    // now is a new session, and the old place in it means nothing.
    if (position > static_cast<int64_t>(size) + 1) {
        debug_.Log(1, [&] {
            return "Monitoring:  The current log [" + current +
                   "] is shorter than before; reading it again from its start.";
        });
        position = 0;
    }
    debug_.Log(4, [&] {
        return "Monitoring:  Looking for new entries in current log [" + current + "].";
    });
    const bool read = hooks_.analyzeLog(current, position);
    if (!MonitoringEnabled()) {
        result = AbortedTick();
        return false;
    }
    Remember(state_.logName, position);
    if (read) {
        newData = true;
        debug_.LogDebug("Monitoring:  New entries were found in the current log.", 1);
        SetMessage(result, "Reading new entries in current log...");
    }
    return true;
}

bool LogFollower::ReadNewLogs(TickResult& result, const TickInput& input,
                              const std::vector<LogListEntry>& logs, bool& newData)
{
    for (const LogListEntry& log : logs) {
        if (state_.readPositions.contains(log.name))
            continue;
        result.refreshFileList = true;
        debug_.Log(1, [&] { return "Monitoring:  Reading new log file [" + log.name + "]."; });
        SetMessage(result, "Reading new log file " + log.name + "...");
        result.logFileText = log.name;
        int64_t position = 0;
        const bool read = hooks_.analyzeLog(JoinPath(input.folder, log.name), position);
        if (!MonitoringEnabled()) {
            result = AbortedTick();
            return false;
        }
        if (!read) {
            // Tried again on the next tick. Later logs are still read: an
            // empty old log must not hide the ones after it for good.
            debug_.Log(1, [&] {
                return "Monitoring:  The log analysis of log file [" + log.name +
                       "] failed or was aborted.";
            });
            continue;
        }
        Remember(log.name, position);
        newData = true;
    }
    return true;
}

void LogFollower::FollowNewest(const std::vector<LogListEntry>& logs)
{
    // Only logs already read qualify: their stored place is where to go on.
    int32_t newest = 0;
    for (size_t i = 0; i < logs.size(); ++i) {
        if (!state_.readPositions.contains(logs[i].name))
            continue;
        // Equal times: the later name wins, as with logs numbered upward.
        if (newest == 0 || logs[i].modified >= logs[static_cast<size_t>(newest - 1)].modified)
            newest = static_cast<int32_t>(i + 1);
    }
    if (newest == 0)
        return;
    const std::string& name = logs[static_cast<size_t>(newest - 1)].name;
    if (name != state_.logName) {
        debug_.Log(3, [&] { return "Monitoring:  Now following log file [" + name + "]."; });
        state_.logName = name;
    }
    state_.logNumber = newest;
    state_.position = state_.readPositions[name];
}

TickResult LogFollower::Tick(const TickInput& input)
{
    TickResult result;
    if (!MonitoringEnabled()) {
        result.outcome = TickOutcome::Stopped;
        return result;
    }
    if (input.paused) {
        result.outcome = TickOutcome::Paused;
        result.monitorPanel = "PAUSED";
        return result;
    }
    result.monitorPanel = "ACTIVE";
    result.enableProcessTimer = !input.processTimerEnabled;

    const bool following = !state_.logName.empty();
    const std::string current = following ? JoinPath(input.folder, state_.logName) : std::string();
    result.logFileText = state_.logName;
    if (input.mask.find('*') == std::string::npos) {
        // Named after the followed log, or the mask while none is followed.
        Fail(result, MaskWithoutNumberError(),
             following ? current : JoinPath(input.folder, input.mask));
        return result;
    }

    bool newData = false;
    if (following) {
        if (!FileExists(current)) {
            LogVanished(result, current);
            return result;
        }
        if (!ReadCurrentLog(result, current, newData))
            return result;
    }

    debug_.LogDebug("Monitoring:  Getting the log file list.", 4);
    const std::vector<LogListEntry> logs = ListLogs(input.folder, input.mask);
    state_.logNumber = NumberOf(logs, state_.logName);
    debug_.Log(4, [&] {
        return "Monitoring:  " + std::to_string(logs.size()) +
               " log file(s) found, currently using log file #" + std::to_string(state_.logNumber) +
               ".";
    });
    if (!ReadNewLogs(result, input, logs, newData))
        return result;
    FollowNewest(logs);
    result.logFileText = state_.logName;

    if (!newData) {
        result.outcome = TickOutcome::NothingNew;
        SetMessage(result, "Monitoring log files...");
        return result;
    }
    result.outcome = TickOutcome::NewData;
    debug_.LogDebug("Monitoring:  New logs were analyzed successfully.", 3);
    result.refreshDetails = !hooks_.takeDetailChange || hooks_.takeDetailChange();
    result.refreshTree = true;
    SetMessage(result, "Log files read; returning to monitoring...");
    return result;
}

} // namespace tarvik
