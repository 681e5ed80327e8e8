#include "AnalysisTestSupport.h"
#include "analysis/ErrorList.h"
#include "util/Text.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// The amounts of every damage line, summed by configured type, read straight
// from the text: "Orc damages Bob: 61 (52 Physical 9 Magical 0 Acid)".
std::vector<int64_t> TypedDamageInLines(const std::string& path, const AnalysisConfig& config)
{
    std::vector<int64_t> sums(config.damageTypes.size(), 0);
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const size_t damages = line.find(" damages ");
        const size_t open = line.find('(', damages);
        const size_t close = line.rfind(')');
        if (line.size() < 41 || line[19] != '[' || damages == std::string::npos ||
            open == std::string::npos || close == std::string::npos || close < open ||
            line.find(" : [", 40) != std::string::npos)
            continue;
        std::istringstream words(line.substr(open + 1, close - open - 1));
        std::string word, name;
        int64_t amount = -1;
        const auto flush = [&] {
            if (amount <= 0)
                return;
            for (size_t t = 0; t + 1 < config.damageTypes.size(); ++t) {
                if (ContainsNoCase(name, config.damageTypes[t])) {
                    sums[t] += amount;
                    sums.back() += amount;
                    return;
                }
            }
            ADD_FAILURE() << "unknown damage type in " << line;
        };
        while (words >> word) {
            if (IsNumeric(word)) {
                flush();
                amount = std::stoll(word);
                name.clear();
            } else {
                name += word + " ";
            }
        }
        flush();
    }
    return sums;
}

// Real players' logs, read with the shipped configuration. Each is read from
// a copy last written in its folder's year, as the player's own files were.
TEST(Samples, RealLogsReadDatedInTheirYearWithEveryRecordTakenApart)
{
    const std::string root = test::SharedSamplesDir();
    std::error_code code;
    if (!fs::is_directory(root, code))
        GTEST_SKIP() << "no sample logs at " << root;
    const AnalysisConfig config = test::ShippedAnalysisConfig();

    const std::map<std::string, std::pair<std::string, std::string>> known = {
        {"classic-2010/nwclientLog1.txt", {"04/03/2010 11:26:24 AM", "04/03/2010 12:20:57 PM"}},
        {"classic-2017/nwclientLog1.txt", {"12/16/2017 09:38:48 PM", "12/16/2017 11:50:22 PM"}},
        {"ee-2020/20200803_duergars.txt", {"08/03/2020 08:02:50 PM", "08/03/2020 09:07:22 PM"}},
        {"ee-2020/20201205_sacred.txt", {"12/05/2020 05:31:41 PM", "12/05/2020 06:27:13 PM"}},
    };
    test::TempDir copies;
    int64_t lines = 0, records = 0, attacks = 0, hits = 0, kills = 0, saves = 0, healed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root, code)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        const std::string name = fs::relative(entry.path(), root).generic_string();
        const std::string folder = entry.path().parent_path().filename().string();
        const int year = std::stoi(folder.substr(folder.size() - 4));
        const std::string copy = copies.File(entry.path().filename().string());
        fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
        test::SetModifiedLocal(copy, DateTime::FromCivil(year, 12, 31, 23, 0, 0));

        test::SessionHarness h(config);
        ASSERT_TRUE(h.S().AnalyzeLog(copy))
            << name << ": " << (h.Errors().empty() ? "" : h.Errors().back());
        lines += h.Data().linesRead;
        records += h.Data().recordsParsed;
        std::vector<int64_t> dealt(config.damageTypes.size(), 0);
        for (const auto& c : h.Data().characters) {
            EXPECT_FALSE(EqualsNoCase(c->Name(), "SAVE")) << name;
            attacks += c->Attacks();
            hits += c->AttackHits();
            kills += c->Kills();
            saves += c->SaveAttempts();
            healed += c->HPsHealed();
            for (const AttackRecord& record : c->OutboundRecords()) {
                for (size_t t = 0; t < dealt.size(); ++t)
                    dealt[t] += record.DamageOfType(DamageTypeIndex::FromSlot(t));
            }
        }
        EXPECT_EQ(dealt, TypedDamageInLines(copy, config)) << name;
        // Lines without a date are the only problems in real play.
        for (const std::string& error : h.Errors())
            EXPECT_NE(error.find("Invalid/missing date"), std::string::npos) << error;
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

// The undated lines of the real logs, each read by hand once: chat copies
// ("[Halgroth] Xin'thah Moragh: [Party]  Hi guys"), the engine's lines
// ("nwsync: ...", "Error: 40964", relay connections, "GameSpy Connect
// Failed"), blank lines, and the further lines of messages (a tell's list of
// players online, a crafting table's dialogue). None is a problem.
TEST(Samples, UndatedLinesOfRealLogsAreClassifiedAsAPlayerWould)
{
    const std::string root = test::SharedSamplesDir();
    std::error_code code;
    if (!fs::is_directory(root, code))
        GTEST_SKIP() << "no sample logs at " << root;
    struct Case {
        const char* file;
        // blank, session header, engine, chat duplicate, continuation, problem
        std::array<int64_t, LineClassCount> counts;
        // Some lines and their class, as a player reads them.
        std::vector<std::pair<std::string, LineClass>> lines;
    };
    const Case cases[] = {
        {"classic-2010/nwclientLog1.txt",
         {0, 0, 0, 187, 0, 0},
         {{"[Halgroth] Xin'thah Moragh: [Talk] La La Land :: Player Tools ",
           LineClass::ChatDuplicate},
          {"Durga : [Tell]  hi there ", LineClass::ChatDuplicate}}},
        {"classic-2010/nwclientLog2.txt", {1, 0, 0, 0, 0, 0}, {{"", LineClass::Blank}}},
        {"classic-2017/nwclientLog1.txt",
         {48, 0, 1, 0, 54, 0},
         {{"GameSpy Connect Failed with Error 4", LineClass::Engine},
          {"Players online: 4", LineClass::Continuation},
          {"The Jackdaw   Nazzadan   28", LineClass::Continuation},
          {"---------------------------", LineClass::Continuation},
          {"You successfully made 42 items.", LineClass::Continuation}}},
        {"ee-2020/20200803_duergars.txt",
         {0, 0, 68, 0, 0, 0},
         {{"Error: 40964", LineClass::Engine},
          {"Connection to 168.61.183.9:5121 switching relayed mode: 1->0", LineClass::Engine}}},
        {"ee-2020/20200925_mindflayers.txt", {0, 0, 0, 0, 0, 0}, {}},
        {"ee-2020/20201205_sacred.txt", {0, 0, 20, 0, 0, 0}, {}},
        {"ee-2020/20201206_sacred.txt", {0, 0, 11, 0, 0, 0}, {}},
        {"ee-2020/20201207_sacred.txt",
         {0, 0, 11, 0, 0, 0},
         {{"*** ValidateGFFResource sent by user.", LineClass::Engine}}}};
    const AnalysisConfig config = test::ShippedAnalysisConfig();
    int64_t undated = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path source = fs::path(root) / c.file;
        if (!fs::is_regular_file(source, code)) {
            ADD_FAILURE() << "missing sample";
            continue;
        }
        test::SessionHarness h(config);
        ASSERT_TRUE(h.S().AnalyzeLog(source.string()));
        const ErrorList& errors = h.S().Errors();
        EXPECT_EQ(errors.Counts().byClass, c.counts);
        undated += errors.Counts().Total();
        const std::string prefix =
            source.filename().string() + ": Invalid/missing date, discarded: ";
        for (const auto& [line, lineClass] : c.lines) {
            bool found = false;
            for (size_t i = 0; i < errors.Lines().size(); ++i) {
                if (errors.Lines()[i] == prefix + line) {
                    found = true;
                    EXPECT_EQ(errors.Classes()[i], lineClass) << line;
                }
            }
            EXPECT_TRUE(found) << line;
        }
    }
    EXPECT_EQ(undated, 401);
}

} // namespace
} // namespace tarvik
