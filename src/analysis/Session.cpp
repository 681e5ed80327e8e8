#include "Session.h"

#include "DateParser.h"
#include "LogReader.h"
#include "YearResolver.h"
#include "config/ProgramInfo.h"
#include "diag/DebugLog.h"
#include "util/Checked.h"
#include "util/Clock.h"
#include "util/FileInfo.h"
#include "util/FileUtil.h"
#include "util/Text.h"

#include <algorithm>

namespace tarvik {

namespace {

// How often a long read lets the user interface run.
constexpr int64_t YieldSliceMs = 30;
constexpr unsigned LinesBetweenClockChecks = 64;

std::string Str(std::string_view view)
{
    return std::string(view);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// True when two timestamps differ at most in a final ":ss".
bool SameMinute(std::string_view a, std::string_view b)
{
    const size_t n = a.size();
    return n >= 3 && n == b.size() && a[n - 3] == ':' && b[n - 3] == ':' && IsDigit(a[n - 2]) &&
           IsDigit(a[n - 1]) && IsDigit(b[n - 2]) && IsDigit(b[n - 1]) && a[n - 2] <= '5' &&
           a.substr(0, n - 2) == b.substr(0, n - 2);
}

int SecondsOf(std::string_view stamp)
{
    return (stamp[stamp.size() - 2] - '0') * 10 + (stamp[stamp.size() - 1] - '0');
}

} // namespace

Session::Session(const AnalysisConfig& config, DebugLog& debug, const Clock& clock,
                 SessionHost& host)
    : config_(config)
    , debug_(debug)
    , clock_(clock)
    , host_(host)
    , realTime_(clock, debug, config.DamageTypeCount())
    , marks_(data_, debug, host)
    , fights_(config.DamageTypeCount(), config.fightGapSeconds, config.recapSeconds)
    , interpreter_(config, {.data = data_,
                            .realTime = realTime_,
                            .fights = fights_,
                            .sides = evidence_,
                            .marks = marks_,
                            .changes = changes_,
                            .errors = errors_,
                            .debug = debug,
                            .host = host,
                            .options = options_})
    , undated_(config.format, errors_, interpreter_)
{
    errors_.SetListener(this);
    data_.earliestRecordDate = clock_.Now().AddYears(1);
}

Session::~Session()
{
    errors_.SetListener(nullptr);
}

void Session::ClearAllData()
{
    data_.characters.Clear();
    data_.userCharacterId = CharacterId::None();
    data_.userFoundBy = UserFoundBy::None;
    ++data_.marksVersion;
    evidence_.Clear();
    sides_.Forget();
    realTime_.SetLastConcealment(0);
    data_.partyMemberCount = 0;
    host_.PartyCountChanged();
    data_.knownSpells.Clear();
    data_.linesRead = 0;
    data_.recordsParsed = 0;
    // Experience is analysed data too; a second run must not add to the first.
    data_.experienceTotal = 0;
    data_.earliestRecordDate = clock_.Now().AddYears(1);
    data_.latestRecordDate = DateTime();
    monitor_ = {};
    realTime_.ClearRealTimeData();
    fights_.Clear();
    changes_.ForgetCharacters();
    errors_.Clear();
    undated_.Restart();
    lastPath_.clear();
    host_.DataCleared();
    debug_.LogDebug("All data cleared.", 3);
}

std::string Session::SeriousErrorMessage()
{
    return "A serious error occurred during the log analysis.\n"
           "Please save the error log and email it to the developer: " +
           ProgramInfo::SupportAddress() +
           "\n"
           "If possible, please zip up the NWN log and attach it to the email as well.\n\n"
           "NOTE:  Log monitoring has been disabled.  No new data will be analyzed.";
}

bool Session::Fail(const std::string& path, std::string_view body, const Error& error)
{
    changes_.Tell(host_);
    undated_.Finish();
    std::string message = ">> ERROR:  current file [" + GetFileName(path) + "], current record [";
    ErrorList::AppendQuoted(message, body);
    message += "], error " + std::to_string(error.number) + " - " + error.description + ".";
    debug_.LogDebug(message, 1, false, nullptr);
    errors_.AddFinal(message);
    failed_ = true;
    host_.ShowErrors();
    if (options_.monitoringEnabled)
        host_.StopMonitoring();
    host_.SeriousError(SeriousErrorMessage());
    return false;
}

void Session::ShowRecordDates()
{
    host_.SetRecordDates(data_.earliestRecordDate.Format(), data_.latestRecordDate.Format());
}

bool Session::AnalyzeLog(const std::string& path, int64_t* position)
{
    LogCursor cursor;
    cursor.position = position ? *position : 0;
    const bool result = AnalyzeLog(path, cursor);
    if (position)
        *position = cursor.position;
    return result;
}

bool Session::AnalyzeLog(const std::string& path, LogCursor& cursor)
{
    if (analyzing_)
        return false; // a read is already running further up the stack
    analyzing_ = true;
    struct Reset {
        bool& flag;
        ErrorList& errors;
        LogReader& reader;
        ~Reset()
        {
            flag = false;
            errors.SetSource({});
            reader.Close(); // the file is open only during the read
        }
    } reset{analyzing_, errors_, reader_};

    failed_ = false;
    host_.ReadStarted(path);
    errors_.SetSource(GetFileName(path));
    if (cursor.position <= 0 || path != lastPath_)
        undated_.Restart();
    lastPath_ = path;
    debug_.LogDebug("Analysis:  Opening file for initial read.", 4);
    const DateTime parseStart = clock_.Now();
    const bool monitoring = options_.monitoringEnabled;

    LogReader& reader = reader_;
    reader.SetHoldPartialLastLine(monitoring);
    const int64_t start = cursor.position;
    if (const Error error = reader.Open(path, start, cursor.insideCutLine))
        return Fail(path, {}, error);
    debug_.Log(4, [&] { return "Analysis:  going to position " + std::to_string(start) + "."; });
    if (!reader.AtEnd())
        debug_.Log(2, [&] { return "Analysis:  Log [" + path + "] analysis started."; });

    const LogFormat& format = config_.format;
    const size_t stampBegin = static_cast<size_t>(format.timeStampBegin - 1);
    const size_t stampLength = static_cast<size_t>(format.timeStampLength);
    const size_t minLength = static_cast<size_t>(std::max(format.timeStampMinLength, 0));
    const std::string_view headerMarker = format.sessionHeader;

    const std::optional<FileInfo> info = GetFileInfo(path);
    YearResolver years(parseStart, info ? info->modified : parseStart);
    years.SetSessionStart(cursor.sessionStart);

    // Many lines share a timestamp; date each distinct one once.
    std::string lastStamp;
    bool haveLast = false;
    bool lastValid = false;
    DateTime lastDate;
    std::string lastDateText;

    int64_t lastYield = clock_.TickMs();
    unsigned linesSinceCheck = 0;
    bool result = false;
    std::string_view line;
    std::string_view body;
    while (reader.NextLine(line)) {
        if (!monitoring && ++linesSinceCheck >= LinesBetweenClockChecks) {
            linesSinceCheck = 0;
            if (clock_.TickMs() - lastYield >= YieldSliceMs) {
                changes_.Tell(host_);
                host_.Yield();
                lastYield = clock_.TickMs();
            }
        }
        result = true;
        body = {}; // the last line's view lives no longer than its line
        if (!AddChecked(data_.linesRead, 1))
            return Fail(path, body, OverflowError());
        if (reader.LineWasCut()) {
            debug_.Log(1, [&] { return "Analysis:  Line too long, cut and discarded."; });
            undated_.Interrupted();
            errors_.Add("Line too long (over 64 KB), discarded: ", line);
            continue;
        }

        const std::string_view stamp =
            stampBegin < line.size() ? line.substr(stampBegin, stampLength) : std::string_view();
        const size_t bodyStart = stampBegin + stampLength + 1;
        body = bodyStart < line.size() ? Trim(line.substr(bodyStart)) : std::string_view();

        if (!haveLast || stamp != lastStamp) {
            if (haveLast && lastValid && SameMinute(stamp, lastStamp)) {
                // Only the seconds moved: the date stays valid, the text keeps its length.
                lastDate = lastDate.AddSeconds(SecondsOf(stamp) - SecondsOf(lastStamp));
                lastStamp.assign(stamp);
                if (debug_.Wants(2))
                    lastDateText = BuildDateText(stamp, years.YearOf(stamp));
            } else {
                lastStamp.assign(stamp);
                lastDateText = BuildDateText(stamp, years.YearOf(stamp));
                lastValid =
                    lastDateText.size() > minLength && ParseDateText(lastDateText, lastDate);
            }
            haveLast = true;
        }
        if (!lastValid) {
            if (!headerMarker.empty() && TrimLeft(line).starts_with(headerMarker)) {
                DateTime sessionStart;
                if (YearResolver::ParseSessionHeader(TrimLeft(line).substr(headerMarker.size()),
                                                     sessionStart)) {
                    years.SetSessionStart(sessionStart);
                    haveLast = false; // the year of the next stamp may change
                }
            }
            if (debug_.Wants(1))
                debug_.LogDebug("Analysis:  Invalid record detected (bad date): [" + Str(line) +
                                    "].",
                                1, false, &data_.linesRead);
            undated_.Undated(line);
            continue;
        }
        undated_.Dated(line, body, lastDate);
        if (debug_.Wants(2)) {
            debug_.LogDebug("Analysis:  Record read: [" + Str(line) +
                                "].\r\n\tRecord extracted as: [" + Str(body) +
                                "].\r\n\tDate parsed as: [" + lastDateText + "].",
                            2, false, &data_.linesRead);
        }
        if (lastDate < data_.earliestRecordDate)
            data_.earliestRecordDate = lastDate;
        if (lastDate > data_.latestRecordDate)
            data_.latestRecordDate = lastDate;

        const RecordTypes::Match match = config_.recordTypes.Classify(body);
        if (!match) {
            if (debug_.Wants(2))
                debug_.LogDebug("Analysis:  Unknown record type, discarded.", 2, false,
                                &data_.linesRead);
            interpreter_.InterpretUnclassified({line, body, RecordKind::Unknown, {}, 0, lastDate});
            continue;
        }
        if (match.kind == RecordKind::Unknown) {
            if (debug_.Wants(2))
                debug_.LogDebug("Analysis:  Unknown record type, discarded.", 2, false,
                                &data_.linesRead);
            errors_.Add("Unknown record type, discarded: ", line);
            continue;
        }
        const RecordContext record{line,           body,    match.kind, match.identifier,
                                   match.position, lastDate};
        if (const Error error = interpreter_.Interpret(record))
            return Fail(path, body, error);
    }
    // A log read whole has no line to come below its last absorbs; while
    // monitoring, the next line may.
    if (!monitoring)
        fights_.Settle();
    MarkInferredMembers();
    changes_.Tell(host_);
    if (reader.ReadError())
        return Fail(path, {}, reader.ReadError());
    undated_.Finish();
    errors_.Close();
    cursor.position = reader.NextPosition();
    cursor.sessionStart = years.SessionStart();
    cursor.insideCutLine = reader.InsideCutLine();
    reader.Close();
    ShowRecordDates();
    return result;
}

const SideTable& Session::SideTableNow() const
{
    return sides_.Current(
        {data_.characters, data_.userCharacterId, evidence_, config_.petNamePrefixes},
        data_.marksVersion);
}

void Session::MarkInferredMembers()
{
    if (!options_.autodetectParty)
        return;
    const SideTable& table = SideTableNow();
    std::vector<CharacterId> found;
    for (size_t value = 1; value < table.byId.size(); ++value) {
        const CharacterId id(static_cast<int32_t>(value));
        const Side side = table.Of(id);
        if ((side == Side::Ally || side == Side::Pet) && !evidence_.InferredMember(id) &&
            !evidence_.LeftParty(id))
            found.push_back(id);
    }
    // Marking changes the table: collect first.
    for (const CharacterId id : found) {
        evidence_.NoteInferredMember(id);
        const Character* character = data_.characters.At(id);
        if (character && !character->IsPartyMember())
            marks_.TogglePartyMember(id);
    }
}

LogFollowerHooks Session::FollowerHooks()
{
    LogFollowerHooks hooks;
    hooks.analyzeLog = [this](const std::string& path, LogCursor& cursor) {
        return AnalyzeLog(path, cursor);
    };
    hooks.monitoringEnabled = [this] { return options_.monitoringEnabled; };
    return hooks;
}

DriverResult Session::AnalyzeSelectedLogs(std::vector<std::string> paths)
{
    DriverResult result;
    // The problems of the whole run stay listed, each with its log's name.
    errors_.Clear();
    // The file list shows one folder sorted by name, without regard to case.
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        const std::string la = ToLower(GetFileName(a)), lb = ToLower(GetFileName(b));
        return la != lb ? la < lb : GetFileName(a) < GetFileName(b);
    });
    debug_.LogDebug("Analyzing selected logs.", 1);
    const int64_t start = clock_.TickMs();
    for (const auto& path : paths) {
        host_.Yield();
        const std::string name = GetFileName(path);
        const std::optional<FileInfo> info = GetFileInfo(path);
        if (!info) {
            debug_.Log(1, [&] { return "Log file [" + name + "] no longer exists or is locked."; });
            result.missing.push_back(path + " was not found and was skipped.");
            continue;
        }
        if (!info->regular) {
            // A folder, or a pipe that would never end: say so rather than "not found".
            std::string message =
                path + " is not a regular file (a folder, pipe or device); skipped.";
            debug_.LogDebug(message, 1);
            result.skipped.push_back(std::move(message));
            continue;
        }
        debug_.Log(
            3, [&] { return "File [" + name + "] has been selected and confirmed for analysis."; });
        ++result.filesAnalyzed;
        failed_ = false;
        if (!AnalyzeLog(path, nullptr)) {
            result.aborted = true;
            result.seriousError = failed_;
            result.stoppedAt = name;
            fights_.OrderByDate();
            return result;
        }
    }
    // Read in file-name order, which fixes the characters' IDs; shown in
    // time order.
    fights_.OrderByDate();
    result.elapsedMs = clock_.TickMs() - start;
    return result;
}

} // namespace tarvik
