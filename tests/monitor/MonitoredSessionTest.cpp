#include "LogFolder.h"
#include "analysis/Session.h"
#include "app/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/LogFollower.h"
#include "util/Clock.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// Both line ends the game writes, a critical hit with its threat roll, the
// own-character line and experience.
const std::string Fight = [] {
    std::string text;
    for (const char* body :
         {"Drogo : Initiative Roll : 11 : (4 + 7 = 11)\r\n",
          "Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)\r\n",
          "Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)\r\n",
          "Duergar Veteran attacks Drogo : *miss* : (4 + 12 = 16)\n",
          "Drogo attacks Duergar Veteran : *critical hit* : (20 + 19 = 39 : Threat Roll: 14 + 19 = "
          "33)\r\n",
          "Drogo killed Duergar Veteran\n", "Experience Points Gained:  242\r\n"})
        text += "[CHAT WINDOW TEXT] [Mon Aug  3 20:02:50] " + std::string(body);
    return text;
}();

// What an analysis has taken from the logs, as comparable text.
std::vector<std::string> Summary(const Session& session)
{
    const AnalysisData& data = session.Data();
    std::vector<std::string> summary{
        std::to_string(data.linesRead), std::to_string(data.recordsParsed),
        std::to_string(data.experienceTotal), std::to_string(data.userCharacterId)};
    for (const auto& c : data.characters) {
        for (const int32_t n :
             {c->Attacks(), c->AttackHits(), c->DamageDealt(), c->DamageReceived(), c->Kills()})
            summary.push_back(c->Name() + " " + std::to_string(n));
    }
    return summary;
}

// A real session fed by a follower, wired as the main window wires them.
class MonitoredSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConfigurationResult loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
        ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;
        config = std::move(*loaded.configuration);
        session = NewSession();
        session->SetMonitoringEnabled(true);
        LogFollowerHooks hooks;
        hooks.analyzeLog = [this](const std::string& path, int64_t& position) {
            return session->AnalyzeLog(path, &position);
        };
        hooks.monitoringEnabled = [this] { return session->Options().monitoringEnabled; };
        follower =
            std::make_unique<LogFollower>(session->Monitor(), std::move(hooks), debug, clock);
    }

    std::unique_ptr<Session> NewSession()
    {
        auto fresh = std::make_unique<Session>(config.analysis, debug, clock, host);
        fresh->ClearAllData();
        return fresh;
    }

    TickResult Tick() { return follower->Tick({logs.Path(), "nwclientLog*.txt", false, true}); }

    test::LogFolder logs;
    test::TempDir debugDir;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile{clock, lastError, debugDir.Path(), "Tarvik_debug"};
    DebugLog debug{logFile};
    SessionHost host;
    Configuration config;
    std::unique_ptr<Session> session;
    std::unique_ptr<LogFollower> follower;
};

TEST_F(MonitoredSessionTest, LinesWrittenInPiecesAreReadOnceWhole)
{
    // Cuts everywhere: inside timestamps and bodies, between CR and LF, at line ends.
    std::set<size_t> cuts;
    for (size_t at = 23; at < Fight.size(); at += 37)
        cuts.insert(at);
    for (size_t at = Fight.find('\r'); at != std::string::npos; at = Fight.find('\r', at + 1))
        cuts.insert(at + 1);
    cuts.insert(Fight.size());

    size_t written = 0;
    for (const size_t cut : cuts) {
        logs.Append("nwclientLog1.txt", Fight.substr(written, cut - written));
        written = cut;
        Tick();
    }
    Tick();

    const std::unique_ptr<Session> once = NewSession();
    ASSERT_TRUE(once->AnalyzeLog(logs.File("nwclientLog1.txt")));
    EXPECT_EQ(session->Data().linesRead, 7);
    EXPECT_GT(session->Data().recordsParsed, 0);
    EXPECT_EQ(Summary(*session), Summary(*once));
}

TEST_F(MonitoredSessionTest, SwitchingMonitoringOnAgainReadsEveryLogAgain)
{
    logs.Write("nwclientLog1.txt", Fight.substr(0, Fight.find('\n') + 1), 10);
    logs.Write("nwclientLog2.txt", Fight.substr(Fight.find('\n') + 1), 5);
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    const std::vector<std::string> first = Summary(*session);
    EXPECT_EQ(session->Data().linesRead, 7);

    session->ClearAllData(); // as switching monitoring on does
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    EXPECT_EQ(Summary(*session), first);
}

} // namespace
} // namespace tarvik
