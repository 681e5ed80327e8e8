// Several fights as one, the chat line, a character's breakdown and the
// chart's extra marks, from a tracker fed by hand.
#include "fights/FightGroup.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

DateTime At(int second)
{
    return DateTime::FromCivil(2026, 7, 3, 20, 0, 0).AddSeconds(second);
}

// You (1), a party member (2), two opponents (3, 4).
class Group : public ::testing::Test {
protected:
    Group()
    {
        for (const char* name : {"You", "Friend", "Ogre", "Goblin"})
            AddCharacter(name);
        characters.At(CharacterId(2))->SetIsPartyMember(true);
    }
    int32_t AddCharacter(const std::string& name)
    {
        auto c = std::make_unique<Character>();
        const int32_t id = characters.Count() + 1;
        c->CreateCharacter(name, CharacterId(id));
        characters.Add(name, std::move(c));
        return id;
    }
    void Damage(int second, int32_t attacker, int32_t defender, int32_t physical, int32_t fire = 0)
    {
        damage = {physical, fire, physical + fire};
        tracker.OnDamage({At(second), CharacterId(attacker), CharacterId(defender), damage,
                          (physical ? 1u : 0u) | (fire ? 2u : 0u)});
    }
    void Attack(int second, int32_t attacker, int32_t defender, AttackOutcome outcome)
    {
        tracker.OnAttack({At(second),
                          CharacterId(attacker),
                          CharacterId(defender),
                          outcome,
                          true,
                          {10, 20, 30, false, 0}});
    }
    Roster MakeRoster(int32_t user = 1) const
    {
        return {characters, CharacterId(user), damageTypes, saveTypes};
    }
    std::vector<const Fight*> All() const
    {
        std::vector<const Fight*> fights;
        for (const Fight& fight : tracker.Fights())
            fights.push_back(&fight);
        return fights;
    }
    const FightCharacterRow& RowOf(const std::vector<FightCharacterRow>& rows, int32_t id)
    {
        for (const FightCharacterRow& row : rows) {
            if (row.id == CharacterId(id))
                return row;
        }
        ADD_FAILURE() << "no row for " << id;
        return rows.front();
    }

    CharacterList characters;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
    FightTracker tracker{3};
    std::vector<int32_t> damage;
};

TEST_F(Group, MergedFightsAddUpAndRateOverTheirDurations)
{
    Damage(0, 1, 3, 30); // fight 1: 10 s
    Damage(10, 1, 3, 20);
    Damage(1000, 2, 4, 40); // fight 2: 4 s, long after
    Damage(1002, 4, 2, 8);
    Damage(1004, 1, 4, 10);
    ASSERT_EQ(tracker.Fights().size(), 2u);
    const Roster roster = MakeRoster();
    const std::vector<const Fight*> both = All();

    const FightGroupSummary group = SummarizeFights(both, roster);
    EXPECT_EQ(group.name, "2 fights");
    EXPECT_EQ(group.seconds, 14); // the quiet time between them does not count
    EXPECT_EQ(group.summary.yourDamage, 60);
    EXPECT_EQ(group.summary.partyDamage, 100);
    EXPECT_EQ(group.summary.damageTakenBySide, 8);
    EXPECT_DOUBLE_EQ(group.summary.partyDps, 100.0 / 14);

    const std::vector<FightCharacterRow> rows = FightCharacterRows(both, roster);
    std::vector<int32_t> order;
    for (const FightCharacterRow& row : rows)
        order.push_back(row.id.value());
    EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 2, 4})); // as they first joined
    const FightCharacterRow& you = RowOf(rows, 1);
    EXPECT_EQ(you.damageDealt, 60);
    EXPECT_EQ(you.blows, 3);
    EXPECT_EQ(you.largestBlow, 30);
    EXPECT_DOUBLE_EQ(you.dps, 60.0 / 14);
    // 10 s in the first fight, one second (at least) in the second.
    EXPECT_DOUBLE_EQ(you.activeDps, 60.0 / 11);
    const FightCharacterRow& ogre = RowOf(rows, 3);
    EXPECT_EQ(ogre.damageTaken, 50);
    EXPECT_EQ(ogre.damageFrom,
              (std::vector<std::pair<CharacterId, int64_t>>{{CharacterId(1), 50}}));

    // One fight reads as itself.
    const std::vector<const Fight*> second = {both[1]};
    const FightGroupSummary one = SummarizeFights(second, roster);
    EXPECT_EQ(one.name, "Goblin");
    EXPECT_EQ(one.seconds, 4);
    EXPECT_EQ(FightCharacterRows(second, roster).size(), 3u);
}

TEST_F(Group, ChatLineMostDpsFirstWithShares)
{
    Damage(0, 1, 3, 60);
    Damage(1, 2, 3, 40);
    Damage(2, 3, 1, 5);
    struct Case {
        const char* what;
        int32_t user;
        bool friendInParty;
        std::string line;
    };
    const Case cases[] = {
        {"your side", 1, true, "Ogre 2 s | You 30 (60%) | Friend 20 (40%)"},
        // Without marks nobody is on your side: every damage dealer counts,
        // and the fight's name counts you among the opponents.
        {"no side", 0, false, "Ogre (+1) 2 s | You 30 (57%) | Friend 20 (38%) | Ogre 2.5 (5%)"},
    };
    for (const Case& c : cases) {
        characters.At(CharacterId(2))->SetIsPartyMember(c.friendInParty);
        const Roster roster = MakeRoster(c.user);
        const std::vector<const Fight*> fights = All();
        EXPECT_EQ(ChatSummaryLine(SummarizeFights(fights, roster),
                                  FightCharacterRows(fights, roster), roster),
                  c.line)
            << c.what;
    }
}

TEST_F(Group, ChatLineStaysWithinTheLimitAndKeepsNamesWhole)
{
    std::vector<int32_t> raid;
    for (int i = 0; i < 12; ++i) {
        const int32_t id = AddCharacter("Raider with a rather long name " + std::to_string(i));
        characters.At(CharacterId(id))->SetIsPartyMember(true);
        raid.push_back(id);
    }
    for (int i = 0; i < 12; ++i)
        Damage(i % 3, raid[static_cast<size_t>(i)], 3, 100 + i);
    const Roster roster = MakeRoster();
    const std::vector<const Fight*> fights = All();
    const std::string line = ChatSummaryLine(SummarizeFights(fights, roster),
                                             FightCharacterRows(fights, roster), roster);
    EXPECT_LE(line.size(), ChatLineLimit);
    // The strongest first; every name listed is whole.
    EXPECT_EQ(line.rfind("Ogre 2 s | Raider with a rather long name 11 ", 0), 0u) << line;
    size_t parts = 0;
    for (size_t at = line.find(" | "); at != std::string::npos; at = line.find(" | ", at + 1))
        ++parts;
    EXPECT_EQ(parts, 4u) << line; // each part is about 45 characters
    EXPECT_EQ(line.back(), ')');
}

TEST_F(Group, BreakdownOfOneCharacter)
{
    Attack(0, 1, 3, AttackOutcome::Hit);
    Attack(0, 1, 3, AttackOutcome::CriticalHit);
    Attack(1, 1, 3, AttackOutcome::Miss);
    Attack(1, 1, 3, AttackOutcome::Miss);
    Damage(0, 1, 3, 10);
    Damage(0, 1, 3, 20, 6); // the critical hit
    Damage(2, 1, 3, 0, 4);  // a spell
    Damage(3, 2, 3, 60);
    Damage(3, 3, 1, 9);
    Damage(4, 4, 1, 3);
    const Roster roster = MakeRoster();
    const std::vector<FightCharacterRow> rows = FightCharacterRows(All(), roster);
    const std::optional<CharacterBreakdown> b = BreakdownOf(rows, CharacterId(1), roster);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->attacks, 4);
    EXPECT_EQ(b->hits, 2);
    EXPECT_DOUBLE_EQ(b->hitPercent, 50);
    EXPECT_EQ(b->criticalHits, 1);
    EXPECT_DOUBLE_EQ(b->critPercent, 50);
    EXPECT_EQ(b->blows, 3);
    EXPECT_EQ(b->largestBlow, 26);
    EXPECT_DOUBLE_EQ(b->averageBlow, 13.3); // 40 over 3 blows
    EXPECT_DOUBLE_EQ(b->sideShare, 40);     // of the 100 your side dealt
    ASSERT_EQ(b->dealtByType.size(), 2u);
    EXPECT_EQ(b->dealtByType[0].damageType, "Physical");
    EXPECT_EQ(b->dealtByType[0].amount, 30);
    EXPECT_EQ(b->dealtByType[1].amount, 10);
    EXPECT_EQ(b->damageTaken, 12);
    ASSERT_EQ(b->takenBy.rows.size(), 2u);
    EXPECT_EQ(b->takenBy.rows[0].name, "Ogre");
    EXPECT_DOUBLE_EQ(b->takenBy.rows[0].percent, 75);
    EXPECT_EQ(b->takenBy.rows[1].name, "Goblin");
    // Taken from second 3 to 4: one second.
    EXPECT_EQ(b->takenBy.seconds, 1);
    EXPECT_DOUBLE_EQ(b->takenBy.rows[0].dps, 9);
    EXPECT_DOUBLE_EQ(b->takenBy.rows[1].dps, 3);

    // The ogre's side is everyone not on yours: it dealt all of that.
    const std::optional<CharacterBreakdown> ogre = BreakdownOf(rows, CharacterId(3), roster);
    ASSERT_TRUE(ogre);
    EXPECT_DOUBLE_EQ(ogre->sideShare, 75);
    EXPECT_DOUBLE_EQ(ogre->critPercent, 0); // no hits: no share, no division by zero
    EXPECT_FALSE(BreakdownOf(rows, CharacterId(99), roster));

    const std::vector<BreakdownLine> lines = BreakdownLines(*b);
    auto value = [&](const std::string& label) {
        for (const BreakdownLine& line : lines) {
            if (line.label == label)
                return line.value;
        }
        return std::string("missing");
    };
    EXPECT_EQ(value("Hits"), "2 (50%)");
    EXPECT_EQ(value("Critical hits"), "1 (50%)");
    EXPECT_EQ(value("Average hit"), "13.3");
    EXPECT_EQ(value("Damage"), "40 (40% of its side)");
    EXPECT_EQ(value("Fire"), "10");
    EXPECT_EQ(value("Ogre"), "9 (75%), 9 DPS");
}

TEST_F(Group, ChartMarksDeathsAndLeavesOutARepeatedTakenLine)
{
    struct Case {
        const char* what;
        bool secondOpponent;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        // The ogre hurt only your side: its line is what your side took.
        {"one opponent", false, {"You", "Ogre"}},
        {"two opponents", true, {"You", "Ogre", "Goblin", "Damage taken"}},
    };
    for (const Case& c : cases) {
        tracker.Clear();
        Damage(100, 1, 3, 10);
        Damage(101, 3, 1, 30);
        if (c.secondOpponent)
            Damage(102, 4, 1, 5);
        tracker.OnKill({At(105), CharacterId(3), CharacterId(1)});
        const DpsChart chart = BuildDpsChart(tracker.Fights().at(0), MakeRoster());
        std::vector<std::string> labels;
        for (const ChartLine& line : chart.lines)
            labels.push_back(line.label);
        EXPECT_EQ(labels, c.labels) << c.what;
        EXPECT_EQ(chart.seconds, 5) << c.what;
        ASSERT_EQ(chart.deaths.size(), 1u) << c.what;
        EXPECT_EQ(chart.deaths[0].seconds, 5);
        EXPECT_EQ(chart.deaths[0].text, "You killed by Ogre");
    }
    // The time axis ends with the fight; its ticks fall on round seconds.
    const std::pair<double, double> steps[] = {{212, 50}, {42, 10}, {5, 1}, {0, 1}, {3600, 500}};
    for (const auto& [span, step] : steps)
        EXPECT_EQ(NiceTickStep(span, 8), step) << span;
    EXPECT_EQ(ChartPointText("You", 45.2, 64.24), "You: 64.2 DPS at 45 s");
    EXPECT_EQ(ChartPointText("Party", 65, 10), "Party: 10 DPS at 1:05");
}

} // namespace
} // namespace tarvik
