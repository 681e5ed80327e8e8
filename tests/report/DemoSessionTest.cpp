// The demo session: written the same for the same seed, shipped as written,
// and read as a player would want it: no unusable lines, fights with bosses,
// deaths with a lead-up, immunities and a level-up.
#include "DemoSession.h"

#include "AnalysisTestSupport.h"
#include "fights/FightViews.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

const std::vector<DemoLog>& Demo()
{
    static const std::vector<DemoLog> logs = WriteDemoSession();
    return logs;
}

TEST(DemoSession, SameSeedSameBytesAndTheShippedFilesAreThoseBytes)
{
    const std::vector<DemoLog> again = WriteDemoSession();
    ASSERT_EQ(again.size(), Demo().size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, Demo()[i].name);
        EXPECT_TRUE(again[i].contents == Demo()[i].contents) << again[i].name;
        std::string shipped;
        ASSERT_FALSE(
            ReadWholeFile(test::SourceDir() + "/data/samples/demo/" + again[i].name, shipped))
            << "data/samples/demo/" << again[i].name;
        // Regenerate with: tarvik-loggen --demo data/samples/demo
        EXPECT_TRUE(shipped == again[i].contents) << again[i].name << " differs from the generator";
    }
    EXPECT_NE(WriteDemoSession(1)[0].contents, Demo()[0].contents);
}

class DemoAnalysis : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        h = new test::SessionHarness(test::ShippedAnalysisConfig(),
                                     DateTime::FromCivil(2026, 12, 1, 12, 0, 0));
        h->S().Options().autodetectParty = true;
        for (const DemoLog& log : Demo()) {
            const std::string path = h->dir.File(log.name);
            test::WriteBytes(path, log.contents);
            test::SetModifiedLocal(path, h->clock.Now());
            ASSERT_TRUE(h->S().AnalyzeLog(path)) << log.name;
        }
    }
    static void TearDownTestSuite()
    {
        delete h;
        h = nullptr;
    }
    static tarvik::Roster Sides() { return h->S().FightRoster(); }

    static test::SessionHarness* h;
};
test::SessionHarness* DemoAnalysis::h = nullptr;

TEST_F(DemoAnalysis, EveryLineIsUsedAndDatedInItsEvening)
{
    EXPECT_TRUE(h->Errors().empty()) << h->Errors().front();
    const AnalysisData& data = h->S().Data();
    EXPECT_EQ(data.earliestRecordDate.Format().substr(0, 10), "10/03/2026");
    EXPECT_EQ(data.latestRecordDate.Format().substr(0, 10), "11/07/2026");
    EXPECT_GT(data.experienceTotal, 5000);
}

TEST_F(DemoAnalysis, FightsWithBossesDeathsAndRecaps)
{
    const auto& fights = h->S().Fights().Fights();
    EXPECT_GE(fights.size(), 15u);
    int deaths = 0;
    std::vector<std::string> names;
    for (const Fight& fight : fights) {
        const FightSummary summary = SummarizeFight(fight, Sides());
        names.push_back(summary.name);
        EXPECT_GT(summary.yourDps, 5) << summary.name;
        EXPECT_GT(summary.partyDps, summary.yourDps) << summary.name;
        EXPECT_GE(fight.DurationSeconds(), 20) << summary.name;
        EXPECT_LE(fight.DurationSeconds(), 240) << summary.name;
        for (const DeathRecap& recap : fight.Deaths()) {
            ++deaths;
            // A lead-up worth reading: several blows before the last.
            EXPECT_GE(BuildRecap(recap, Sides()).lines.size(), 3u) << summary.name;
        }
        // Nobody's party wiped: a demo ends its fights.
        EXPECT_LT(summary.sideDeaths, 3) << summary.name;
    }
    EXPECT_GE(deaths, 3);
    for (const char* boss :
         {"Ogre Chieftain (+2)", "Draconic Warlord (+1)", "Hellspawn Pit Fiend (+1)"})
        EXPECT_NE(std::find(names.begin(), names.end(), boss), names.end()) << boss;
}

} // namespace
} // namespace tarvik
