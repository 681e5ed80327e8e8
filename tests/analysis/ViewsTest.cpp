#include "AnalysisTestSupport.h"
#include "analysis/AnalysisData.h"
#include "analysis/Session.h"
#include "ui/CharacterTree.h"
#include "ui/DetailViews.h"
#include "ui/NodeAction.h"
#include "ui/SessionStatistics.h"
#include "ui/StatusTexts.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::SessionHarness;
using Cells = std::vector<std::vector<std::string>>;
using Category = CharacterTree::Category;

class Views : public ::testing::Test {
protected:
    Character& Add(const std::string& name)
    {
        auto character = std::make_unique<Character>();
        character->CreateCharacter(name, h.Data().characters.NextId());
        return h.Data().characters.Add(name, std::move(character));
    }
    // Damage of the four configured types: Physical, Fire, Negative, Total.
    static DamageBreakdown Damage(int32_t physical, int32_t fire = 0)
    {
        return {physical, fire, 0, physical + fire};
    }
    static void Deal(Character& from, Character& to, const DamageBreakdown& damage)
    {
        ASSERT_TRUE(from.RecordDamageDealt(to.ID(), damage));
        ASSERT_TRUE(to.RecordDamageReceived(from.ID(), damage));
    }
    static void Kill(Character& killer, Character& victim, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(killer.RecordKill(victim));
            ASSERT_TRUE(victim.RecordDeath(killer));
        }
    }
    SessionHarness h;
};

TEST_F(Views, AttacksListOpponentsWithDamageInIdOrder)
{
    Character& bob = Add("Bob");
    Character& goblin = Add("Goblin");
    Character& orc = Add("Orc");
    Character& rat = Add("Rat");
    Deal(bob, orc, Damage(5, 7));
    Deal(bob, goblin, Damage(3));
    Deal(bob, rat, Damage(0)); // a zero-damage record is no row
    Deal(bob, orc, Damage(5, 7));

    EXPECT_EQ(BuildAttacks(h.S(), bob, true).cells,
              (Cells{{"", "Physical", "Fire", "Negative", "Total"},
                     {"Goblin", "3", "0", "0", "3"},
                     {"Orc", "5", "7", "0", "12"}}));

    EXPECT_EQ(BuildAttacks(h.S(), orc, false).cells,
              (Cells{{"", "Physical", "Fire", "Negative", "Total"}, {"Bob", "5", "7", "0", "12"}}));
    EXPECT_EQ(BuildAttacks(h.S(), rat, false).cells.size(), 1u);

    // The grid's numbers are averages per hit, which only the tips say.
    const std::vector<std::string> tips = BuildAttacks(h.S(), bob, true).headerTips;
    ASSERT_EQ(tips.size(), 5u);
    EXPECT_EQ(tips[2], "Average Fire damage per hit against each defender");
    EXPECT_EQ(tips[4], "Average damage per hit, all types together against each defender");
    EXPECT_EQ(BuildAttacks(h.S(), orc, false).headerTips[1],
              "Average Physical damage per hit from each attacker");
}

// Spells in the order first cast by anyone; opponents in the order first met.
TEST_F(Views, SpellsKillsAndDeathsInFirstSeenOrder)
{
    ASSERT_TRUE(h.AnalyzeBodies({"Alice casts Sleep", "Bob casts Magic Missile", "Bob casts Sleep",
                                 "Bob casts Magic Missile", "Bob killed Rat", "Bob killed Orc",
                                 "Bob killed Rat", "Orc killed Bob"}));
    const Character& bob = *h.Named("Bob");
    EXPECT_EQ(BuildSpells(h.S(), bob).cells, (Cells{{"Sleep", "1"}, {"Magic Missile", "2"}}));
    EXPECT_EQ(BuildKillsOrDeaths(h.S(), bob, true).cells, (Cells{{"Rat", "2"}, {"Orc", "1"}}));
    EXPECT_EQ(BuildKillsOrDeaths(h.S(), bob, false).cells, (Cells{{"Orc", "1"}}));
}

// No deaths and no damage received: the ratios show as "more than".
TEST_F(Views, SessionStatisticsOfALoneUndefeatedHero)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    Character& rat = Add("Rat");
    Kill(bob, orc, 3);
    Kill(bob, rat, 2);
    Deal(bob, orc, Damage(60));
    Deal(bob, rat, Damage(40));
    h.S().Marks().TogglePartyMember(bob.ID());

    const Cells cells = BuildSessionStatistics(h.S()).cells;
    ASSERT_EQ(cells.size(), 17u);
    const std::pair<size_t, const char*> expected[] = {
        {1, "5 kills, 0 deaths (>5:1 kill/death ratio)"},
        {3, "n/a"},
        {4, "Bob: 5:1 kills:deaths"},
        {5, "100 HPs dealt, 0 HPs received (>100:1 dealt/received ratio)"},
        {8, "Bob: 100:1 HPs dealt:received"},
        {9, "0 kills, 5 deaths"},
        {12, "n/a"}};
    for (const auto& [row, text] : expected)
        EXPECT_EQ(cells[row][1], text) << cells[row][0];
}

TEST_F(Views, SessionStatisticsTiesGoToTheFirstCreated)
{
    Character& anna = Add("Anna");
    Character& bob = Add("Bob");
    Character& carl = Add("Carl");
    Character& orc = Add("Orc");
    Kill(anna, orc, 7);
    Kill(bob, orc, 7);
    Kill(orc, anna, 2);
    Kill(orc, bob, 2);
    Kill(carl, orc, 1);
    Deal(anna, orc, Damage(30));
    Deal(bob, orc, Damage(30));
    Deal(orc, anna, Damage(20));
    Deal(orc, bob, Damage(20));
    h.S().Marks().TogglePartyMember(anna.ID());
    h.S().Marks().TogglePartyMember(bob.ID());

    const Cells cells = BuildSessionStatistics(h.S()).cells;
    ASSERT_EQ(cells.size(), 17u);
    EXPECT_EQ(cells[2][1], "Anna: 7 kills");
    EXPECT_EQ(cells[3][1], "Anna: 2 deaths");
    EXPECT_EQ(cells[4][1], "Anna: 3.5:1 kills:deaths");
    EXPECT_EQ(cells[8][1], "Anna: 1.5:1 HPs dealt:received");
    // Carl, not in the party, killed once and never died.
    EXPECT_EQ(cells[9][1], "5 kills, 15 deaths (0.33:1 kill/death ratio)");
    EXPECT_EQ(cells[12][1], "Carl: 1:1 kills:deaths");
}

// Across updates a category is added when it first qualifies.
TEST_F(Views, TreeCategoriesAppearInTheOrderTheyQualify)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    Kill(bob, orc);
    CharacterTree tree;
    ASSERT_EQ(tree.Update(h.Data()).size(), 2u);
    EXPECT_TRUE(tree.Update(h.Data()).empty());

    Deal(bob, orc, Damage(4));
    tree.Update(h.Data());
    Kill(orc, bob);
    const auto added = tree.Update(h.Data());
    ASSERT_EQ(added.size(), 2u);
    EXPECT_FALSE(added[0].characterAdded);
    EXPECT_EQ(tree.Find(CharacterId(1))->categories,
              (std::vector<Category>{Category::Kills, Category::Attacks, Category::Deaths}));
    EXPECT_EQ(tree.Find(CharacterId(2))->categories,
              (std::vector<Category>{Category::Deaths, Category::EnemyAttacks, Category::Kills}));

    tree.Clear();
    EXPECT_EQ(tree.Find(CharacterId(1)), nullptr); // no stale node
}

TEST_F(Views, NodeClicksExplainEmptyCategories)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    Kill(bob, orc);
    Deal(orc, bob, Damage(3));
    using Kind = NodeAction::Kind;
    struct Case {
        std::string key;
        Kind kind;
        int32_t id;
        const char* status;
    };
    const auto key = [](int32_t id, Category category) {
        return CharacterTree::CategoryKey(CharacterId(id), category);
    };
    const Case cases[] = {
        {key(1, Category::Kills), Kind::Kills, 1, ""},
        {key(1, Category::Deaths), Kind::Explain, 1, "Bob did not die."},
        {key(1, Category::Attacks), Kind::Explain, 1, "Bob did not deal out damage to any others."},
        {key(1, Category::EnemyAttacks), Kind::EnemyAttacks, 1, ""},
        {key(2, Category::EnemyAttacks), Kind::Explain, 2,
         "Orc did not receive any damage from others."},
        {"c9", Kind::Nothing, 0, ""},
        {"x1", Kind::Nothing, 0, ""},
    };
    for (const auto& c : cases) {
        const NodeAction action = ResolveNodeClick(c.key, h.Data());
        EXPECT_EQ(action.kind, c.kind) << c.key;
        EXPECT_EQ(action.characterId, CharacterId(c.id)) << c.key;
        EXPECT_EQ(action.statusText, c.status) << c.key;
    }
}

TEST(StatusTexts, SummaryCountsFilesLinesAndRecordsAndTheirRate)
{
    struct Case {
        int32_t files;
        int64_t ms;
        int32_t lines, records;
        const char* expected;
    };
    const Case cases[] = {
        {2, 2500, 5000, 1234,
         "2 log file(s) analyzed in 2.5 second(s).\n5,000 lines parsed into 1,234 records "
         "(24.7%).\n(2000 lines per second.)"},
        {1234, 61000, 0, 0,
         "1,234 log file(s) analyzed in 61 second(s).\n0 lines parsed into 0 records."},
        // Under half a second counts as one, so the rate is the line count.
        {1, 400, 300, 3,
         "1 log file(s) analyzed in 1 second(s).\n300 lines parsed into 3 records "
         "(1%).\n(300 lines per second.)"},
    };
    for (const auto& c : cases) {
        AnalysisData data;
        data.linesRead = c.lines;
        data.recordsParsed = c.records;
        EXPECT_EQ(SummaryText(data, c.files, c.ms),
                  std::string("Analyzing logs...complete.\n\n") + c.expected)
            << c.ms;
    }
}

TEST(StatusTexts, ProgressGivesTheShareOfRecordsOnceLinesWereRead)
{
    AnalysisData data;
    EXPECT_EQ(ProgressText(data), "Analyzing logs...\n\n0 lines read.\n0 records parsed.");
    data.linesRead = 1500;
    data.recordsParsed = 300;
    EXPECT_EQ(ProgressText(data), "Analyzing logs...\n\n1,500 lines read.\n300 records parsed "
                                  "(20%).");
}

TEST(StatusTexts, StopReasonNamesTheFileAndWhyOnlyForAStoppedRun)
{
    struct Case {
        bool aborted, serious;
        const char* expected;
    };
    const Case cases[] = {
        {false, false, ""},
        {true, false, "Log file [b.txt] holds no lines; the analysis stopped."},
        {true, true, "Log analysis stopped by an error in [b.txt].  (Check the Errors tab.)"},
    };
    for (const auto& c : cases) {
        DriverResult result;
        result.aborted = c.aborted;
        result.seriousError = c.serious;
        result.stoppedAt = c.aborted ? "b.txt" : "";
        EXPECT_EQ(StopReasonText(result), c.expected) << c.aborted << c.serious;
    }
}

// The classes met are named in the error list's order of classes; problems
// are always named, as they are what a player looks for.
TEST(StatusTexts, LinesWithoutRecordCountTheirClassesApart)
{
    struct Case {
        // blank, session header, engine, chat duplicate, continuation, problem
        std::array<int64_t, LineClassCount> counts;
        const char* expected;
    };
    const Case cases[] = {
        {{379, 120, 6, 152, 301, 1},
         "959 lines without a record: 379 blank, 120 session header, 6 engine, 152 chat "
         "duplicate, 301 continuation, 1 problem."},
        {{0, 0, 0, 0, 0, 2}, "2 lines without a record: 2 problems."},
        {{1, 0, 0, 0, 0, 0}, "1 line without a record: 1 blank, 0 problems."},
        {{0, 0, 1200, 0, 0, 0}, "1,200 lines without a record: 1,200 engine, 0 problems."},
    };
    for (const auto& c : cases) {
        LineCounts counts;
        counts.byClass = c.counts;
        EXPECT_EQ(LinesWithoutRecordText(counts), c.expected);
    }
}

} // namespace
} // namespace tarvik
