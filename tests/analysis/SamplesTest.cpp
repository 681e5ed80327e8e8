#include "AnalysisTestSupport.h"
#include "app/Configuration.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// Real players' logs, read with the shipped configuration.
class Samples : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = test::SharedSamplesDir();
        std::error_code code;
        if (!fs::is_directory(root, code))
            GTEST_SKIP() << "no sample logs at " << root;
        for (const auto& entry : fs::recursive_directory_iterator(root, code)) {
            if (entry.is_regular_file() && entry.path().extension() == ".txt")
                files.push_back(entry.path().string());
        }
        std::sort(files.begin(), files.end());
        if (files.empty())
            GTEST_SKIP() << "no sample logs at " << root;
        loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
        ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;
    }

    std::string Relative(const std::string& path) const
    {
        return fs::relative(path, root).generic_string();
    }

    std::string root;
    std::vector<std::string> files;
    ConfigurationResult loaded;
};

TEST_F(Samples, EveryLogReadsWithoutSeriousErrorAndIsDated)
{
    // Earliest and latest timestamps of the logs, in the year of the reading clock.
    const std::map<std::string, std::pair<std::string, std::string>> known = {
        {"classic-2010/nwclientLog1.txt", {"04/03/2026 11:26:24 AM", "04/03/2026 12:20:57 PM"}},
        {"classic-2017/nwclientLog1.txt", {"12/16/2026 09:38:48 PM", "12/16/2026 11:50:22 PM"}},
        {"ee-2020/20200803_duergars.txt", {"08/03/2026 08:02:50 PM", "08/03/2026 09:07:22 PM"}},
        {"ee-2020/20201205_sacred.txt", {"12/05/2026 05:31:41 PM", "12/05/2026 06:27:13 PM"}},
    };
    int dated = 0;
    for (const auto& path : files) {
        test::SessionHarness h(loaded.configuration->analysis);
        EXPECT_TRUE(h.S().AnalyzeLog(path)) << Relative(path);
        EXPECT_TRUE(h.host.seriousErrors.empty()) << Relative(path) << ": " << h.Errors().back();
        EXPECT_GT(h.Data().recordsParsed, 0) << Relative(path);
        const auto it = known.find(Relative(path));
        if (it == known.end())
            continue;
        ++dated;
        EXPECT_EQ(h.Data().earliestRecordDate.Format(), it->second.first) << it->first;
        EXPECT_EQ(h.Data().latestRecordDate.Format(), it->second.second) << it->first;
    }
    if (dated == 0)
        GTEST_SKIP() << "none of the known logs is present";
}

TEST_F(Samples, RecordsOfEveryMainKindAreRecognised)
{
    test::SessionHarness h(loaded.configuration->analysis);
    int64_t lines = 0, records = 0;
    for (const auto& path : files) {
        h.S().ClearAllData();
        ASSERT_TRUE(h.S().AnalyzeLog(path)) << Relative(path);
        lines += h.Data().linesRead;
        records += h.Data().recordsParsed;
    }
    // A plausible share of real lines are combat records.
    EXPECT_GT(records * 100, lines * 40) << records << " records of " << lines << " lines";

    // The kinds are summed over every log.
    int64_t attacks = 0, hits = 0, damage = 0, kills = 0, spells = 0, saves = 0, resisted = 0,
            healed = 0;
    int64_t experience = 0;
    h.S().ClearAllData();
    for (const auto& path : files) {
        ASSERT_TRUE(h.S().AnalyzeLog(path));
    }
    for (const auto& c : h.Data().characters) {
        attacks += c->Attacks();
        hits += c->AttackHits();
        damage += c->DamageDealt();
        kills += c->Kills();
        spells += c->Spells();
        saves += c->SaveAttempts();
        resisted += c->HPsResisted();
        healed += c->HPsHealed();
    }
    experience = h.Data().experienceTotal;
    EXPECT_GT(attacks, 0);
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, attacks);
    EXPECT_GT(damage, 0);
    EXPECT_GT(kills, 0);
    EXPECT_GT(spells, 0);
    EXPECT_GT(saves, 0);
    EXPECT_GT(resisted, 0);
    EXPECT_GT(healed, 0);
    EXPECT_GT(experience, 0);
}

} // namespace
} // namespace tarvik
