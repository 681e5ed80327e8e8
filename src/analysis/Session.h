#pragma once

#include "AnalysisData.h"
#include "AnalysisOptions.h"
#include "ChangeNotes.h"
#include "ErrorList.h"
#include "LogReader.h"
#include "PartyMarks.h"
#include "RecordInterpreter.h"
#include "SessionHost.h"
#include "UndatedLines.h"
#include "config/LogFormat.h"
#include "fights/FightTracker.h"
#include "fights/Roster.h"
#include "fights/SideEvidence.h"
#include "fights/Sides.h"
#include "monitor/LogCursor.h"
#include "monitor/LogFollower.h"
#include "monitor/MonitorPosition.h"
#include "monitor/RealTimeState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

class Clock;
class DebugLog;

// Outcome of analysing a set of files from start to end.
struct DriverResult {
    int32_t filesAnalyzed = 0;
    bool aborted = false;
    // Logs that were not found, each named: "<path> was not found and was skipped."
    std::vector<std::string> missing;
    int64_t elapsedMs = 0; // of a complete run
    // Files that were not read, each named with the reason.
    std::vector<std::string> skipped;
    // The file whose read stopped an aborted run.
    std::string stoppedAt;
    // It stopped through the serious-error path, whose box says it already.
    bool seriousError = false;
};

// Owns everything an analysis produces and the operations on it. It never
// touches a window: what must be shown goes through the host.
class Session : private ErrorList::Listener {
public:
    Session(const AnalysisConfig& config, DebugLog& debug, const Clock& clock, SessionHost& host);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const AnalysisConfig& Config() const { return config_; }
    AnalysisData& Data() { return data_; }
    const AnalysisData& Data() const { return data_; }
    RealTimeState& RealTime() { return realTime_; }
    const RealTimeState& RealTime() const { return realTime_; }
    const ErrorList& Errors() const { return errors_; }
    // Fights, target statistics and death recaps of everything analysed.
    const FightTracker& Fights() const { return fights_; }
    // Names, sides and type names for the fight views, as marked now.
    Roster FightRoster() const
    {
        return {data_.characters, data_.userCharacterId, config_.damageTypes, config_.saveTypes,
                &SideTableNow()};
    }
    // Every character's side from the marks and the evidence as they are now.
    const SideTable& SideTableNow() const;
    const SideEvidence& Evidence() const { return evidence_; }
    PartyMarks& Marks() { return marks_; }
    AnalysisOptions& Options() { return options_; }
    MonitorPosition& Monitor() { return monitor_; }
    // The debug log is shared, not part of the session's state.
    DebugLog& Debug() const { return debug_; }
    const Clock& GetClock() const { return clock_; }
    bool Analyzing() const { return analyzing_; }

    // Forgets everything analysed.
    void ClearAllData();
    void ClearRealTimeData() { realTime_.ClearRealTimeData(); }
    void SetMonitoringEnabled(bool on)
    {
        options_.monitoringEnabled = on;
        if (!on)
            fights_.Settle(); // no line comes after the last one read
    }
    // Appends a line to the error list outside of a read (a vanished log).
    void AddError(std::string line) { errors_.Add(std::move(line)); }

    // Reads path from position (1-based, 0: the start) to its end. True when
    // at least one line was read; position then holds the next unread byte.
    // While monitoring, a last line without a line end is left for later.
    bool AnalyzeLog(const std::string& path, int64_t* position = nullptr);
    // The same, going on from where cursor stopped, with what it knows of the
    // lines above; cursor is updated only by a read that ends normally.
    bool AnalyzeLog(const std::string& path, LogCursor& cursor);

    // The log follower's hooks, wired to this session: the window and
    // tarvik-cli follow the game's logs through the same reads.
    LogFollowerHooks FollowerHooks();

    // Analyses the files, in file-name order, each from its start.
    DriverResult AnalyzeSelectedLogs(std::vector<std::string> paths);

    // The message of the serious-error box.
    static std::string SeriousErrorMessage();

private:
    void ErrorListCleared() override { host_.ErrorListCleared(); }
    void ErrorAdded(std::string_view line, LineClass lineClass) override
    {
        host_.ErrorAdded(line, lineClass);
    }
    bool Fail(const std::string& path, std::string_view body, const Error& error);
    void ShowRecordDates();
    // With auto-detection on: marks the allies and pets found so far as
    // party members, as join lines mark them, once each.
    void MarkInferredMembers();

    const AnalysisConfig& config_;
    DebugLog& debug_;
    const Clock& clock_;
    SessionHost& host_;
    AnalysisData data_;
    RealTimeState realTime_;
    ErrorList errors_;
    PartyMarks marks_;
    AnalysisOptions options_;
    FightTracker fights_;
    SideEvidence evidence_;
    // Decided from the marks and evidence when asked, kept until they change.
    mutable Sides sides_;
    ChangeNotes changes_;
    RecordInterpreter interpreter_;
    UndatedLines undated_;
    std::string lastPath_; // of the last read: reading on in it keeps what undated lines follow
    MonitorPosition monitor_;
    // Kept between reads, so that following a log does not allocate its
    // buffer once a second.
    LogReader reader_;
    bool analyzing_ = false;
    bool failed_ = false; // the last read ended through Fail
};

} // namespace tarvik
