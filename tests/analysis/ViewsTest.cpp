#include "AnalysisTestSupport.h"
#include "ui/CharacterTree.h"
#include "ui/DetailViews.h"
#include "ui/NodeAction.h"
#include "ui/SessionStatistics.h"

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
        character->CreateCharacter(name, h.Data().characters.Count() + 1);
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

TEST(ViewTexts, Ratios)
{
    struct Case {
        int32_t a, b;
        const char* expected;
    };
    const Case cases[] = {{3, 0, "n/a"},    {0, 3, "n/a"}, {5, 2, "2.5:1"}, {4, 3, "1.33:1"},
                          {2, 3, "0.67:1"}, {7, 7, "1:1"}, {-1, 2, "n/a"}};
    for (const auto& c : cases)
        EXPECT_EQ(RatioText(c.a, c.b), c.expected) << c.a << ":" << c.b;
}

TEST_F(Views, GeneralInfoOfAnotherCharacter)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    for (int i = 0; i < 1234; ++i)
        ASSERT_TRUE(bob.RecordAttack(orc.ID(), i < 567));
    Kill(bob, orc, 3);
    Deal(bob, orc, Damage(5));
    Deal(orc, bob, Damage(2));
    ASSERT_TRUE(bob.RecordResist(750));
    ASSERT_TRUE(bob.RecordResist(750));
    ASSERT_TRUE(bob.RecordHealing(10));

    const DetailGrid grid = BuildGeneralInfo(h.S(), bob);
    EXPECT_EQ(grid.caption, "Details - General Info");
    EXPECT_EQ(grid.fixedRows, 0);
    EXPECT_EQ(grid.fixedColumns, 1);
    EXPECT_EQ(grid.cells, (Cells{{"Kills", "3"},
                                 {"Deaths", "0"},
                                 {"Kill:Death Ratio", "n/a"},
                                 {"Spells Cast", "0"},
                                 {"Attacks", "1,234; 567 hits (45%)"},
                                 {"Damage Dealt", "5 HPs"},
                                 {"Enemy Attacks", "0"},
                                 {"Damage Received", "2 HPs"},
                                 {"Dealt:Received Ratio", "2.5:1"},
                                 {"Saves", "0 of 0"},
                                 {"Resistances", "2 for 1,500 HPs"},
                                 {"Healed", "10 HPs"}}));
    EXPECT_EQ(grid.format, ";Kills|Deaths|Kill:Death Ratio|Spells Cast|Attacks|Damage "
                           "Dealt|Enemy Attacks|Damage Received|Dealt:Received "
                           "Ratio|Saves|Resistances|Healed");
}

TEST_F(Views, GeneralInfoOfTheUsersCharacterHasFiveMoreRows)
{
    Character& anna = Add("Anna");
    Character& orc = Add("Orc");
    ASSERT_TRUE(anna.RecordSave(5, 1, true));
    ASSERT_TRUE(anna.RecordSave(5, 1, true));
    ASSERT_TRUE(anna.RecordSave(5, 1, false));
    ASSERT_TRUE(anna.RecordEnemyAttack(orc.ID(), true));
    ASSERT_TRUE(anna.RecordEnemyAttack(orc.ID(), false));
    ASSERT_TRUE(anna.RecordEnemyAttack(orc.ID(), false));
    h.S().Marks().SelectUserCharacter(anna.ID());
    h.S().RealTime().LogAttackBonus(true, 8);   // the user's own attacks
    h.S().RealTime().LogAttackBonus(false, 20); // attacks against the user
    h.Data().experienceTotal = 1500;

    DetailGrid grid = BuildGeneralInfo(h.S(), anna);
    ASSERT_EQ(grid.cells.size(), 17u);
    EXPECT_EQ(grid.cells[6], (std::vector<std::string>{"Enemy Attacks", "3; 1 hits (33%)"}));
    EXPECT_EQ(grid.cells[9], (std::vector<std::string>{"Saves", "2 of 3 (66%)"}));
    const Cells extra(grid.cells.begin() + 12, grid.cells.end());
    EXPECT_EQ(extra, (Cells{{"Inbound AB", "20"},
                            {"Outbound AB", "8"},
                            {"Last Conceal", "n/a"},
                            {"XPs Gained", "1,500 XPs"},
                            {"Death Timers", "n/a"}}));
    EXPECT_TRUE(grid.format.ends_with(
        "|Healed|Inbound AB|Outbound AB|Last Conceal|XPs Gained|Death Timers"));

    h.S().RealTime().SetLastConcealment(50);
    grid = BuildGeneralInfo(h.S(), anna);
    EXPECT_EQ(grid.cells[14][1], "50%");
    EXPECT_EQ(BuildGeneralInfo(h.S(), orc).cells.size(), 12u);
}

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

    const DetailGrid made = BuildAttacks(h.S(), bob, true);
    EXPECT_EQ(made.caption, "Details - Attacks Made");
    EXPECT_EQ(made.columns, 5);
    EXPECT_EQ(made.fixedRows, 1);
    EXPECT_EQ(made.fixedColumns, 1);
    EXPECT_EQ(made.cells, (Cells{{"", "Physical", "Fire", "Negative", "Total"},
                                 {"Goblin", "3", "0", "0", "3"},
                                 {"Orc", "5", "7", "0", "12"}}));
    EXPECT_EQ(made.format, "|Physical|Fire|Negative|Total;|Goblin|Orc");

    const DetailGrid received = BuildAttacks(h.S(), orc, false);
    EXPECT_EQ(received.caption, "Details - Enemy Attacks");
    EXPECT_EQ(received.cells,
              (Cells{{"", "Physical", "Fire", "Negative", "Total"}, {"Bob", "5", "7", "0", "12"}}));
    EXPECT_EQ(BuildAttacks(h.S(), rat, false).cells.size(), 1u);
}

TEST_F(Views, SpellsInFirstSeenOrderAcrossCharacters)
{
    ASSERT_TRUE(
        h.AnalyzeBodies({"Alice casts Sleep", "Bob casts Magic Missile", "Bob casts Magic Missile",
                         "Bob casts Sleep", "Bob casts Magic Missile"}));
    const DetailGrid grid = BuildSpells(h.S(), *h.Named("Bob"));
    EXPECT_EQ(grid.caption, "Details - Spells Cast");
    EXPECT_EQ(grid.cells, (Cells{{"Sleep", "1"}, {"Magic Missile", "3"}}));
    EXPECT_EQ(grid.format, ";Sleep|Magic Missile");
}

TEST_F(Views, KillsAndDeathsByOpponentInIdOrder)
{
    ASSERT_TRUE(
        h.AnalyzeBodies({"Bob killed Rat", "Bob killed Orc", "Bob killed Rat", "Orc killed Bob"}));
    const Character& bob = *h.Named("Bob");
    const DetailGrid kills = BuildKillsOrDeaths(h.S(), bob, true);
    EXPECT_EQ(kills.caption, "Details - Enemies Killed");
    EXPECT_EQ(kills.cells, (Cells{{"Rat", "2"}, {"Orc", "1"}}));
    EXPECT_EQ(kills.format, ";Rat|Orc");
    const DetailGrid deaths = BuildKillsOrDeaths(h.S(), bob, false);
    EXPECT_EQ(deaths.caption, "Details - Character Deaths");
    EXPECT_EQ(deaths.cells, (Cells{{"Orc", "1"}}));
}

TEST_F(Views, SessionStatisticsWithoutPartyMembers)
{
    Character& bob = Add("Bob");
    Kill(bob, Add("Orc"));
    const DetailGrid grid = BuildSessionStatistics(h.S());
    EXPECT_EQ(grid.cells,
              (Cells{{"Party Members", "0"},
                     {"", "You must select some party members for proper statistics!"}}));
    EXPECT_EQ(grid.format, ";Party Members");
}

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

    const DetailGrid grid = BuildSessionStatistics(h.S());
    EXPECT_EQ(grid.cells,
              (Cells{{"Party Members", "1"},
                     {"Party Kills/Deaths", "5 kills, 0 deaths (>5:1 kill/death ratio)"},
                     {"Best Party Killer", "Bob: 5 kills"},
                     {"Best Party Corpse", "n/a"},
                     {"Most Effective Party Killer", "Bob: 5:1 kills:deaths"},
                     {"Total Party Damage",
                      "100 HPs dealt, 0 HPs received (>100:1 dealt/received ratio)"},
                     {"Best Party Damage Dealer", "Bob: 100 HPs"},
                     {"Best Party Damage Target", "n/a"},
                     {"Most Effective Party Damage Dealer", "Bob: 100:1 HPs dealt:received"},
                     {"Enemy Kills/Deaths", "0 kills, 5 deaths"},
                     {"Best Enemy Killer", "n/a"},
                     {"Best Enemy Corpse", "Orc: 3 deaths"},
                     {"Most Effective Enemy Killer", "n/a"},
                     {"Total Enemy Damage", "0 HPs dealt, 100 HPs received"},
                     {"Best Enemy Damage Dealer", "n/a"},
                     {"Best Enemy Damage Target", "Orc: 60 HPs"},
                     {"Most Effective Enemy Damage Dealer", "n/a"}}));
    EXPECT_TRUE(grid.format.starts_with(";Party Members|Party Kills/Deaths|Best Party Killer|"));
    EXPECT_TRUE(grid.format.ends_with("|Best Enemy Damage Target|Most Effective Enemy Damage "
                                      "Dealer"));
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
    EXPECT_EQ(cells[1][1], "14 kills, 4 deaths (3.5:1 kill/death ratio)");
    EXPECT_EQ(cells[2][1], "Anna: 7 kills");
    EXPECT_EQ(cells[3][1], "Anna: 2 deaths");
    EXPECT_EQ(cells[4][1], "Anna: 3.5:1 kills:deaths");
    EXPECT_EQ(cells[5][1], "60 HPs dealt, 40 HPs received (1.5:1 dealt/received ratio)");
    EXPECT_EQ(cells[8][1], "Anna: 1.5:1 HPs dealt:received");
    // The enemy: Orc killed 4 and died 15 times, Carl killed once.
    EXPECT_EQ(cells[9][1], "5 kills, 15 deaths (0.33:1 kill/death ratio)");
    EXPECT_EQ(cells[10][1], "Orc: 4 kills");
    EXPECT_EQ(cells[12][1], "Carl: 1:1 kills:deaths");
    EXPECT_EQ(cells[14][1], "Orc: 40 HPs");
    EXPECT_EQ(cells[15][1], "Orc: 60 HPs");
}

TEST(ViewTexts, PartyCount)
{
    EXPECT_EQ(ShowPartyCount(0).text, "No party members selected");
    EXPECT_TRUE(ShowPartyCount(0).blue);
    EXPECT_EQ(ShowPartyCount(1).text, "1 party member selected");
    EXPECT_FALSE(ShowPartyCount(1).blue);
    EXPECT_EQ(ShowPartyCount(12).text, "12 party members selected");
    EXPECT_FALSE(ShowPartyCount(12).blue);
}

TEST_F(Views, TreeCategoriesAppearInTheOrderTheyQualify)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    Kill(bob, orc);
    CharacterTree tree;
    auto added = tree.Update(h.Data());
    ASSERT_EQ(added.size(), 2u);
    EXPECT_TRUE(added[0].characterAdded);
    EXPECT_EQ(tree.Find(1)->categories, std::vector<Category>{Category::Kills});
    EXPECT_EQ(tree.Find(2)->categories, std::vector<Category>{Category::Deaths});
    EXPECT_TRUE(tree.Update(h.Data()).empty());

    // Bob deals damage, then dies: Deaths comes after Attacks.
    Deal(bob, orc, Damage(4));
    tree.Update(h.Data());
    Kill(orc, bob);
    added = tree.Update(h.Data());
    EXPECT_EQ(tree.Find(1)->categories,
              (std::vector<Category>{Category::Kills, Category::Attacks, Category::Deaths}));
    EXPECT_EQ(tree.Find(2)->categories,
              (std::vector<Category>{Category::Deaths, Category::EnemyAttacks, Category::Kills}));
    ASSERT_EQ(added.size(), 2u);
    EXPECT_FALSE(added[0].characterAdded);

    // Only received damage: "Enemy Attacks" without "Attacks"; several new
    // categories in one update keep the table order.
    Character& rat = Add("Rat");
    Spell sleep;
    sleep.CreateSpell("Sleep", 1);
    ASSERT_TRUE(rat.RecordSpellCast(sleep));
    Deal(orc, rat, Damage(1));
    tree.Update(h.Data());
    EXPECT_EQ(tree.Find(3)->categories,
              (std::vector<Category>{Category::EnemyAttacks, Category::Spells}));
    EXPECT_EQ(tree.Nodes().size(), 3u);
    EXPECT_EQ(tree.Nodes()[2].key, "c3");
    EXPECT_EQ(tree.Nodes()[2].text, "Rat");
}

TEST_F(Views, TreeMarksFollowPartyAndUser)
{
    Add("Anna");
    Add("Bob");
    CharacterTree tree;
    tree.Update(h.Data());
    EXPECT_FALSE(tree.Find(1)->bold);
    h.S().Marks().SelectUserCharacter(2);
    tree.RefreshMarks(h.Data());
    EXPECT_TRUE(tree.Find(2)->bold);
    EXPECT_TRUE(tree.Find(2)->blue);
    EXPECT_FALSE(tree.Find(1)->blue);

    h.S().Marks().SelectUserCharacter(1);
    h.S().Marks().SelectUserCharacter(1); // only the blue mark goes
    tree.Update(h.Data());
    EXPECT_TRUE(tree.Find(1)->bold);
    EXPECT_FALSE(tree.Find(1)->blue);
    EXPECT_FALSE(tree.Find(2)->blue);
    EXPECT_TRUE(tree.Find(2)->bold);
    EXPECT_EQ(tree.Find(3), nullptr);

    // Clearing the data empties the tree; no stale node may be found.
    tree.Clear();
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(tree.Find(1), nullptr);
    EXPECT_EQ(tree.Find(2), nullptr);
}

TEST(TreeKeys, KeysAndWhatTheyName)
{
    EXPECT_EQ(CharacterTree::CharacterKey(17), "c17");
    EXPECT_EQ(CharacterTree::CategoryKey(17, Category::EnemyAttacks), "c17 Enemy Attacks");
    struct Case {
        const char* key;
        int level;
        int32_t id;
        const char* category;
    };
    const Case cases[] = {
        {"Statistics", 0, 0, ""},
        {"c17", 1, 17, ""},
        {"c17 Enemy Attacks", 2, 17, "ENEMY ATTACKS"},
        {"c2 Kills", 2, 2, "KILLS"},
        {"x17", -1, 0, ""},
        {"c", -1, 0, ""},
        {"cx Kills", -1, 0, ""},
        {"c5Kills", -1, 5, ""},
    };
    for (const auto& c : cases) {
        const auto info = CharacterTree::ParseKey(c.key);
        EXPECT_EQ(info.level, c.level) << c.key;
        if (c.level >= 1) {
            EXPECT_EQ(info.id, c.id) << c.key;
        }
        EXPECT_EQ(info.category, c.category) << c.key;
    }
}

TEST_F(Views, NodeClicksShowViewsOrExplainEmptyCategories)
{
    Character& bob = Add("Bob");
    Character& orc = Add("Orc");
    Kill(bob, orc);
    Deal(orc, bob, Damage(3));
    using Kind = NodeAction::Kind;
    struct Case {
        const char* key;
        Kind kind;
        int32_t id;
        const char* status;
    };
    const Case cases[] = {
        {"Statistics", Kind::SessionStatistics, 0, ""},
        {"c1", Kind::GeneralInfo, 1, ""},
        {"c1 Kills", Kind::Kills, 1, ""},
        {"c1 Deaths", Kind::Explain, 1, "Bob did not die."},
        {"c1 Attacks", Kind::Explain, 1, "Bob did not deal out damage to any others."},
        {"c1 Enemy Attacks", Kind::EnemyAttacks, 1, ""},
        {"c1 Spells", Kind::Explain, 1, "Bob did not cast any spells."},
        {"c2 Kills", Kind::Explain, 2, "Orc did not kill anyone."},
        {"c2 Enemy Attacks", Kind::Explain, 2, "Orc did not receive any damage from others."},
        {"c2 Attacks", Kind::AttacksMade, 2, ""},
        {"c2 Deaths", Kind::Deaths, 2, ""},
        {"c2 Something", Kind::Nothing, 2, ""},
        {"c9", Kind::Nothing, 0, ""},
    };
    for (const auto& c : cases) {
        const NodeAction action = ResolveNodeClick(c.key, h.Data());
        EXPECT_EQ(action.kind, c.kind) << c.key;
        EXPECT_EQ(action.characterId, c.id) << c.key;
        EXPECT_EQ(action.statusText, c.status) << c.key;
    }
}

} // namespace
} // namespace tarvik
