// The meter's rows: who is on them, their shares and bars, and an order that
// holds still for a second at a time.
#include "meter/MeterBoard.h"

#include "AnalysisTestSupport.h"
#include "fights/FightTracker.h"
#include "meter/MeterSettings.h"
#include "util/SettingsStore.h"

#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;

std::vector<std::string> Names(const MeterView& view)
{
    std::vector<std::string> names;
    for (const MeterRow& row : view.rows)
        names.push_back(row.name);
    return names;
}

double ShareSum(const MeterView& view)
{
    return std::accumulate(view.rows.begin(), view.rows.end(), 0.0,
                           [](double sum, const MeterRow& row) { return sum + row.sharePercent; });
}

// A fight read from log lines: Aron is the user, Bela a party member, Cedd a
// stranger busy with a rat, and the ogre hits back.
class ScriptedSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::string> lines;
        for (const char* timed : {
                 "20:00:00 Aron damages Ogre: 30 (30 Physical)",
                 "20:00:01 Bela damages Ogre: 6 (6 Physical)",
                 "20:00:02 Cedd damages Rat: 40 (40 Physical)",
                 "20:00:03 Ogre damages Aron: 12 (12 Physical)",
                 "20:00:04 Ogre damages Bela: 4 (4 Physical)",
                 "20:00:05 Bela : Healed 15 hit points.",
                 "20:00:06 Aron : Healed 5 hit points.",
                 "20:00:10 Bela damages Ogre: 4 (4 Physical)",
             })
            lines.push_back(GameLine(std::string(timed).substr(9),
                                     "Sat Dec 16 " + std::string(timed).substr(0, 8)));
        ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
        CharacterList& characters = h.Data().characters;
        ASSERT_NE(characters.Find("Aron"), nullptr);
        ASSERT_NE(characters.Find("Bela"), nullptr);
        ASSERT_NE(characters.Find("Cedd"), nullptr);
        cedd = characters.Find("Cedd")->ID();
        aron = characters.Find("Aron")->ID();
        bela = characters.Find("Bela")->ID();
        // Through the marks, as the main window sets them, so the sides follow.
        h.S().Marks().SelectUserCharacter(aron);
        h.S().Marks().TogglePartyMember(bela);
    }
    CurrentFightChoice Current() { return {&h.S().Fights().Fights().back(), true}; }

    test::SessionHarness h{test::ShippedAnalysisConfig()};
    MeterBoard board;
    CharacterId aron;
    CharacterId bela;
    CharacterId cedd;
};

TEST_F(ScriptedSession, RowsPerModeHoldOnlyYourSideWithSharesOfItsTotal)
{
    ASSERT_EQ(h.S().Fights().Fights().size(), 1u);
    // The fight lasts 10 s; Cedd is on no side, the ogre is the enemy.
    struct Case {
        MeterMode mode;
        std::vector<std::string> names;
        std::vector<int64_t> totals;
        std::vector<std::string> shares;
        std::vector<std::string> rates;
        const char* rateCaption;
    };
    const Case cases[] = {
        {MeterMode::Dps, {"Aron", "Bela"}, {30, 10}, {"75%", "25%"}, {"3", "1"}, "DPS"},
        {MeterMode::DamageTaken, {"Aron", "Bela"}, {12, 4}, {"75%", "25%"}, {"1", "0"}, "DTPS"},
        // Rates are whole, their fraction dropped as in the HUD: 1.5 reads 1.
        {MeterMode::Healing, {"Bela", "Aron"}, {15, 5}, {"75%", "25%"}, {"1", "0"}, "HPS"},
    };
    for (const Case& c : cases) {
        const MeterView& view = board.Update(Current(), h.S().FightRoster(), c.mode, 0);
        SCOPED_TRACE(MeterModeCaption(c.mode));
        EXPECT_EQ(view.title, "Ogre");
        EXPECT_EQ(view.elapsed, "10 s");
        EXPECT_FALSE(view.ended);
        EXPECT_EQ(view.timeText, "10 s");
        EXPECT_EQ(view.caption, MeterModeCaption(c.mode));
        EXPECT_EQ(view.rateCaption, c.rateCaption);
        ASSERT_EQ(Names(view), c.names);
        for (size_t i = 0; i < view.rows.size(); ++i) {
            const MeterRow& row = view.rows[i];
            EXPECT_EQ(row.total, c.totals[i]);
            EXPECT_EQ(row.shareText, c.shares[i]);
            EXPECT_EQ(row.rateText, c.rates[i]);
            EXPECT_EQ(row.you, row.name == "Aron");
        }
        EXPECT_DOUBLE_EQ(ShareSum(view), 100.0);
        EXPECT_DOUBLE_EQ(view.rows[0].barFraction, 1.0);
        EXPECT_DOUBLE_EQ(view.rows[1].barFraction, 1.0 / 3);
    }
}

TEST_F(ScriptedSession, MarksAndTheFightDecideTheSide)
{
    // Each step changes a mark, then reads the meter again.
    enum class Step { AsSetUp, UnmarkBela, UnmarkAron };
    struct Case {
        Step step;
        std::vector<std::string> names;
        std::vector<std::string> shares;
        Side belaSide;
    };
    const Case cases[] = {
        {Step::AsSetUp, {"Aron", "Bela"}, {"75%", "25%"}, Side::Party},
        // Unmarked, Bela still fights the ogre that fights you: an ally, still counted.
        {Step::UnmarkBela, {"Aron", "Bela"}, {"75%", "25%"}, Side::Ally},
        // Nobody marked: nobody is on your side, and the meter says how to mark yourself.
        {Step::UnmarkAron, {}, {}, Side::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        if (c.step == Step::UnmarkBela)
            h.S().Marks().TogglePartyMember(bela);
        if (c.step == Step::UnmarkAron)
            h.S().Marks().TogglePartyMember(aron); // also unselects your character
        const Roster roster = h.S().FightRoster();
        EXPECT_EQ(roster.SideOf(bela), c.belaSide);
        EXPECT_EQ(roster.SideOf(cedd), Side::Unknown);
        const MeterView& view = board.Update(Current(), roster, MeterMode::Dps, 0);
        ASSERT_EQ(Names(view), c.names);
        for (size_t i = 0; i < view.rows.size(); ++i) {
            EXPECT_EQ(view.rows[i].shareText, c.shares[i]);
            EXPECT_EQ(view.rows[i].you, view.rows[i].id == aron);
        }
        if (c.names.empty()) {
            EXPECT_NE(view.emptyText.find("Mark your character"), std::string::npos);
        }
    }
}

TEST_F(ScriptedSession, EndedFightAndNoFight)
{
    const CurrentFightChoice ended{&h.S().Fights().Fights().back(), false};
    const MeterView& endedView = board.Update(ended, h.S().FightRoster(), MeterMode::Dps, 0);
    EXPECT_TRUE(endedView.ended);
    EXPECT_EQ(endedView.timeText, "10 s, ended");

    const MeterView& none = board.Update({}, h.S().FightRoster(), MeterMode::Dps, 0);
    EXPECT_EQ(none.title, "No fight yet");
    EXPECT_TRUE(none.elapsed.empty());
    EXPECT_FALSE(none.ended);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_FALSE(none.emptyText.empty());
}

// You (1), a friend (2), a second friend (3) and an ogre (4).
class Ordering : public ::testing::Test {
protected:
    Ordering()
    {
        for (const char* name : {"You", "Friend", "Late", "Ogre"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.NextId());
            characters.Add(name, std::move(c));
        }
        characters.At(CharacterId(2))->SetIsPartyMember(true);
        characters.At(CharacterId(3))->SetIsPartyMember(true);
    }
    void Damage(int second, int32_t attacker, int32_t amount)
    {
        damage = {amount, 0, amount};
        tracker.OnDamage({DateTime::FromCivil(2026, 7, 3, 20, 0, 0).AddSeconds(second),
                          CharacterId(attacker), CharacterId(4), damage, 1u});
    }
    Roster MakeRoster() const { return {characters, CharacterId(1), damageTypes, saveTypes}; }
    CurrentFightChoice Current() const { return {&tracker.Fights().back(), true}; }

    CharacterList characters;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
    FightTracker tracker{3};
    std::vector<int32_t> damage;
    MeterBoard board;
};

TEST_F(Ordering, RowsHoldTheirPlacesForASecondThenFollowTheValues)
{
    // At each clock tick: who deals damage, and the order shown afterwards.
    struct Step {
        int64_t tickMs;
        int32_t attacker;
        int32_t amount;
        std::vector<std::string> order;
    };
    const Step steps[] = {
        {0, 1, 30, {"You"}},
        {100, 2, 10, {"You", "Friend"}},           // a newcomer joins at the end
        {400, 2, 50, {"You", "Friend"}},           // overtakes, but within the second
        {999, 1, 1, {"You", "Friend"}},            // still within it
        {1000, 1, 1, {"Friend", "You"}},           // the second is over: by value
        {1200, 3, 500, {"Friend", "You", "Late"}}, // the top value arrives last
        {1900, 1, 1, {"Friend", "You", "Late"}},
        {2000, 1, 1, {"Late", "Friend", "You"}},
    };
    for (const Step& step : steps) {
        Damage(0, step.attacker, step.amount);
        const MeterView& view = board.Update(Current(), MakeRoster(), MeterMode::Dps, step.tickMs);
        EXPECT_EQ(Names(view), step.order) << "at " << step.tickMs << " ms";
        // The bar follows the value at once, whatever the order.
        double top = 0;
        for (const MeterRow& row : view.rows)
            top = std::max(top, row.barFraction);
        EXPECT_DOUBLE_EQ(top, 1.0);
    }
}

TEST_F(Ordering, NewModeOrFightIsOrderedAtOnce)
{
    Damage(0, 1, 10);
    Damage(0, 2, 20);
    board.Update(Current(), MakeRoster(), MeterMode::Dps, 0);
    Damage(1, 1, 100);
    // Within the second, but another mode: ordered by its own values.
    board.Update(Current(), MakeRoster(), MeterMode::Healing, 10);
    EXPECT_EQ(Names(board.Update(Current(), MakeRoster(), MeterMode::Dps, 20)),
              (std::vector<std::string>{"You", "Friend"}));

    Damage(100, 2, 5); // after the gap: a new fight
    Damage(100, 1, 1);
    ASSERT_EQ(tracker.Fights().size(), 2u);
    EXPECT_EQ(Names(board.Update(Current(), MakeRoster(), MeterMode::Dps, 30)),
              (std::vector<std::string>{"Friend", "You"}));
}

TEST_F(Ordering, RowsHoldEveryoneOnYourSideByTheSidesTable)
{
    Damage(0, 1, 30);
    Damage(0, 2, 20);
    Damage(0, 3, 10);
    // The ogre hits you back, so an enemy has a total of its own to leave out.
    damage = {50, 0, 50};
    tracker.OnDamage(
        {DateTime::FromCivil(2026, 7, 3, 20, 0, 0), CharacterId(4), CharacterId(1), damage, 1u});

    // The table wins over the party marks Friend and Late carry.
    struct Case {
        Side friendSide;
        Side lateSide;
        Side ogreSide;
        std::vector<std::string> names;
        std::vector<std::string> shares;
    };
    const Case cases[] = {
        {Side::Ally, Side::Pet, Side::Enemy, {"You", "Friend", "Late"}, {"50%", "33%", "17%"}},
        {Side::Party, Side::Unknown, Side::Enemy, {"You", "Friend"}, {"60%", "40%"}},
        {Side::Enemy, Side::Ally, Side::Unknown, {"You", "Late"}, {"75%", "25%"}},
        {Side::Pet, Side::Enemy, Side::Enemy, {"You", "Friend"}, {"60%", "40%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(SideName(c.friendSide)) + "/" + SideName(c.lateSide));
        SideTable table;
        table.byId = {Side::Unknown, Side::You, c.friendSide, c.lateSide, c.ogreSide};
        table.anyOnYourSide = true;
        Roster roster = MakeRoster();
        roster.sides = &table;
        MeterBoard fresh;
        const MeterView& view = fresh.Update(Current(), roster, MeterMode::Dps, 0);
        ASSERT_EQ(Names(view), c.names);
        for (size_t i = 0; i < view.rows.size(); ++i) {
            EXPECT_EQ(view.rows[i].shareText, c.shares[i]) << view.rows[i].name;
            // Only your own character's row is flagged, whatever the others' sides.
            EXPECT_EQ(view.rows[i].you, view.rows[i].name == "You") << view.rows[i].name;
        }
    }
}

TEST(MeterSettingsStore, StoredValuesAreReadBackAndBadOnesTakeTheirDefaults)
{
    struct Case {
        const char* opacity;
        const char* locked;
        const char* mode;
        int32_t wantOpacity;
        bool wantLocked;
        MeterMode wantMode;
    };
    const Case cases[] = {
        {"55", "1", "healing", 55, true, MeterMode::Healing},
        {"100", "0", "taken", 100, false, MeterMode::DamageTaken},
        {"5", "-1", "dps", MeterSettings::MinimumOpacity, true, MeterMode::Dps}, // never invisible
        {"250", "x", "loud", 100, false, MeterMode::Dps},
        {"abc", "", "", MeterSettings::DefaultOpacity, false, MeterMode::Dps},
        {"nan", "nan", "HEALING", MeterSettings::DefaultOpacity, false, MeterMode::Dps},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        store.Write("MeterOptions", "Opacity", c.opacity);
        store.Write("MeterOptions", "Locked", c.locked);
        store.Write("MeterOptions", "Mode", c.mode);
        const MeterSettings loaded = LoadMeterSettings(store);
        EXPECT_EQ(loaded.opacityPercent, c.wantOpacity) << c.opacity;
        EXPECT_EQ(loaded.locked, c.wantLocked) << c.locked;
        EXPECT_EQ(loaded.mode, c.wantMode) << c.mode;

        MemorySettingsStore again;
        SaveMeterSettings(again, loaded);
        const MeterSettings reread = LoadMeterSettings(again);
        EXPECT_EQ(reread.opacityPercent, loaded.opacityPercent);
        EXPECT_EQ(reread.locked, loaded.locked);
        EXPECT_EQ(reread.mode, loaded.mode);
    }
    MemorySettingsStore empty;
    const MeterSettings defaults = LoadMeterSettings(empty);
    EXPECT_EQ(defaults.opacityPercent, 70);
    EXPECT_FALSE(defaults.locked);
    EXPECT_EQ(defaults.mode, MeterMode::Dps);
}

TEST(MeterScaleRule, FollowsTheWidthBetweenHalfAndThreeTimes)
{
    const std::pair<int, double> cases[] = {
        {280, 1.0}, {140, 0.5}, {70, 0.5}, {420, 1.5}, {840, 3.0}, {2000, 3.0}, {0, 0.5},
    };
    for (const auto& [width, scale] : cases)
        EXPECT_DOUBLE_EQ(MeterScale(width, 280), scale) << width;
    EXPECT_DOUBLE_EQ(MeterScale(500, 0), 1.0);
}

} // namespace
} // namespace tarvik
