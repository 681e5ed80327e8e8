// tarvik-cli: analyses game logs without a display and prints the statistics.
#include "CliOptions.h"
#include "Follow.h"
#include "Report.h"
#include "Serve.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "config/FileLocations.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/RealTimeState.h"
#include "report/HtmlReport.h"
#include "report/ReportText.h"
#include "ui/StatusTexts.h"
#include "util/Clock.h"
#include "util/CommandLine.h"
#include "util/Encoding.h"
#include "util/FileUtil.h"
#include "util/HeapPages.h"
#include "util/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// Prints what the main window would show in its error list and boxes, and
// marks the characters named on the command line as soon as they appear.
class CliHost final : public SessionHost {
public:
    explicit CliHost(const CliOptions& options)
        : options_(options)
    {
    }
    void Attach(Session& session) { session_ = &session; }

    void SeriousError(std::string_view message) override
    {
        std::cerr << "tarvik-cli: " << message << '\n';
        // Which log and record broke the read, even when the list is not printed.
        const auto& lines = session_->Errors().Lines();
        if (options_.listErrors == ErrorListing::None && !lines.empty())
            std::cerr << TerminalText(lines.back()) << '\n';
    }
    void CharacterCreated(CharacterId id) override { ApplyMarks(id); }
    // A serious read error ends following, as it switches the window's monitoring off.
    void StopMonitoring() override { session_->SetMonitoringEnabled(false); }

    // Marks the named characters that exist.
    void ApplyAllMarks()
    {
        const auto count = static_cast<size_t>(session_->Data().characters.Count());
        for (size_t slot = 0; slot < count; ++slot)
            ApplyMarks(CharacterId::FromSlot(slot));
    }

private:
    void ApplyMarks(CharacterId id)
    {
        AnalysisData& data = session_->Data();
        const Character* c = data.characters.At(id);
        if (!c)
            return;
        for (const auto& name : options_.party) {
            if (EqualsNoCase(Trim(name), c->Name()) && !c->IsPartyMember())
                session_->Marks().TogglePartyMember(id);
        }
        if (!options_.user.empty() && EqualsNoCase(Trim(options_.user), c->Name()) &&
            data.userCharacterId != id)
            session_->Marks().SelectUserCharacter(id);
    }

    const CliOptions& options_;
    Session* session_ = nullptr;
};

// The lines that gave no record: how many of each kind, then the problems
// or all of them when asked.
void PrintErrorLines(const ErrorList& errors, ErrorListing listing, std::ostream& err)
{
    if (errors.Lines().empty())
        return;
    if (errors.Counts().Total() > 0) {
        err << "tarvik-cli: " << LinesWithoutRecordText(errors.Counts());
        if (listing == ErrorListing::None)
            err << " --errors lists the problems, --errors=all every line.";
        err << '\n';
    }
    for (size_t i = 0; i < errors.Lines().size(); ++i) {
        const LineClass lineClass = errors.Classes()[i];
        if (listing == ErrorListing::All)
            err << '[' << LineClassName(lineClass) << "] " << TerminalText(errors.Lines()[i])
                << '\n';
        else if (listing == ErrorListing::Problems && lineClass == LineClass::Problem)
            err << TerminalText(errors.Lines()[i]) << '\n';
    }
}

// The rule the windows follow: a portable folder keeps everything beside the
// program; an installed program reads the shipped files from ../share/tarvik
// (or beside it), the user's copy of the configuration once there is one,
// and writes its debug log to the user's data folder.
FileLocations LocateFiles(const char* argv0)
{
    FileLocationInputs inputs;
    inputs.programDir = GetFolderName(ExecutablePath(argv0));
    inputs.programDirWritable = IsFolderWritable(inputs.programDir);
    const UserFolders user = UserFoldersFrom(EnvironmentVariable);
    inputs.userConfigDir = user.config;
    inputs.userDataDir = user.data;
    return FileLocations::Decide(inputs);
}

int Run(int argc, char** argv)
{
    PreferHugeHeapPages();
    UseByteExactStandardOutput();
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    std::string usageError;
    const auto options = ParseCliOptions(args, usageError);
    if (!options) {
        std::cerr << "tarvik-cli: " << usageError << "\n\n" << CliUsage();
        return 2;
    }
    if (options->help) {
        std::cout << CliUsage();
        return 0;
    }

    const FileLocations locations = LocateFiles(argc > 0 ? argv[0] : nullptr);
    const ConfigurationFile configFile = options->configPath.empty()
                                             ? locations.Configuration()
                                             : ConfigurationFile(options->configPath);
    ConfigurationResult loaded = LoadConfiguration(configFile, GetBaseName(configFile.ReadPath()));
    for (const auto& warning : loaded.warnings)
        std::cerr << "tarvik-cli: " << warning << '\n';
    if (!loaded.configuration) {
        std::cerr << "tarvik-cli: " << loaded.fatalMessage << '\n';
        return 2;
    }
    const Configuration& config = *loaded.configuration;

    SystemClock clock;
    ErrObject lastError;
    if (options->debugLevel > 0 && !locations.portable)
        CreateFolders(locations.dataDir);
    LogFile logFile(clock, lastError, locations.dataDir, "tarvik-cli");
    logFile.SetFileName("tarvik-cli_debug.log");
    logFile.SetBufferSize(1000);
    logFile.SetWriteDelay(60);
    DebugLog debug(logFile);
    debug.SetLevel(options->debugLevel);

    CliHost host(*options);
    Session session(config.analysis, debug, clock, host);
    host.Attach(session);
    RealTimeState& realTime = session.RealTime();
    realTime.SetRTRollingAverage(config.realTime.rollingAverageInterval);
    realTime.SetFugueTimers(config.realTime.fugueTimerExpiration,
                            config.realTime.fugueTimerWarning);
    realTime.SetNumABRecords(config.realTime.abAverageRecords);
    session.Options().autodetectParty = options->autodetect;

    const ReportSections sections{options->fights, options->targets};
    if (!options->followDir.empty()) {
        if (!IsDirectory(options->followDir)) {
            std::cerr << "tarvik-cli: " << options->followDir << " is not a folder.\n";
            return 2;
        }
        const FollowOptions follow{options->followDir, config.analysis.format.logFileMask,
                                   options->forSeconds, 500, sections};
        if (options->serve)
            return RunServe(session, follow, {*options->serve, options->allowedHosts}, debug, clock,
                            std::cout, std::cerr);
        return RunFollow(session, follow, debug, clock, std::cout, std::cerr);
    }

    session.ClearAllData();
    const DriverResult result = session.AnalyzeSelectedLogs(options->logs);
    host.ApplyAllMarks();
    for (const auto& message : result.missing)
        std::cerr << "tarvik-cli: " << TerminalText(message) << '\n';
    for (const auto& message : result.skipped)
        std::cerr << "tarvik-cli: " << TerminalText(message) << '\n';
    if (result.aborted && !result.seriousError)
        std::cerr << "tarvik-cli: " << TerminalText(StopReasonText(result)) << '\n';

    const std::vector<std::string> files = ReportFileNames(options->logs);
    const ErrorList& errors = session.Errors();
    const std::vector<std::string>& errorLines = errors.Lines();
    PrintErrorLines(errors, options->listErrors, std::cerr);
    errno = 0;
    if (options->json) {
        JsonReport(std::cout, session, files, errorLines, sections);
    } else if (options->html) {
        std::cout << HtmlReport(session, files, errorLines);
    } else if (!result.aborted) {
        TextReport(std::cout, session, result, sections);
    }
    // A report lost on a full disk must not pass for one written.
    if (!std::cout.flush() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "tarvik-cli: the report could not be written"
                  << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << ".\n";
        return 1;
    }
    if (result.aborted)
        return 1;
    return !result.missing.empty() || !result.skipped.empty() ? 1 : 0;
}

} // namespace
} // namespace tarvik

int main(int argc, char** argv)
{
    try {
        return tarvik::Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "tarvik-cli: " << error.what() << '\n';
        return 1;
    }
}
