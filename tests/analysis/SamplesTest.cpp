#include "AnalysisTestSupport.h"
#include "app/Configuration.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// Real players' logs, read with the shipped configuration.
TEST(Samples, EveryLogReadsDatedAndHoldsRecordsOfEveryMainKind)
{
    const std::string root = test::SharedSamplesDir();
    std::error_code code;
    if (!fs::is_directory(root, code))
        GTEST_SKIP() << "no sample logs at " << root;
    const ConfigurationResult loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;

    // Earliest and latest timestamps of the logs, in the year of the reading clock.
    const std::map<std::string, std::pair<std::string, std::string>> known = {
        {"classic-2010/nwclientLog1.txt", {"04/03/2026 11:26:24 AM", "04/03/2026 12:20:57 PM"}},
        {"classic-2017/nwclientLog1.txt", {"12/16/2026 09:38:48 PM", "12/16/2026 11:50:22 PM"}},
        {"ee-2020/20200803_duergars.txt", {"08/03/2026 08:02:50 PM", "08/03/2026 09:07:22 PM"}},
        {"ee-2020/20201205_sacred.txt", {"12/05/2026 05:31:41 PM", "12/05/2026 06:27:13 PM"}},
    };
    int64_t lines = 0, records = 0, attacks = 0, hits = 0, kills = 0, saves = 0, healed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root, code)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        const std::string name = fs::relative(entry.path(), root).generic_string();
        test::SessionHarness h(loaded.configuration->analysis);
        ASSERT_TRUE(h.S().AnalyzeLog(entry.path().string()))
            << name << ": " << (h.Errors().empty() ? "" : h.Errors().back());
        lines += h.Data().linesRead;
        records += h.Data().recordsParsed;
        for (const auto& c : h.Data().characters) {
            attacks += c->Attacks();
            hits += c->AttackHits();
            kills += c->Kills();
            saves += c->SaveAttempts();
            healed += c->HPsHealed();
        }
        if (const auto it = known.find(name); it != known.end()) {
            EXPECT_EQ(h.Data().earliestRecordDate.Format(), it->second.first) << name;
            EXPECT_EQ(h.Data().latestRecordDate.Format(), it->second.second) << name;
        }
    }
    if (lines == 0)
        GTEST_SKIP() << "no sample logs at " << root;
    // A plausible share of real lines are combat records.
    EXPECT_GT(records * 100, lines * 40) << records << " records of " << lines << " lines";
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, attacks);
    EXPECT_GT(kills, 0);
    EXPECT_GT(saves, 0);
    EXPECT_GT(healed, 0);
}

} // namespace
} // namespace tarvik
