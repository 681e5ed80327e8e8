#include "fights/FightTables.h"

#include <gtest/gtest.h>
#include <memory>

namespace tarvik {
namespace {

DateTime At(int second)
{
    return DateTime::FromCivil(2026, 7, 3, 20, 0, 0).AddSeconds(second);
}

TEST(FightTables, DurationText)
{
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 s"},      {9, "9 s"},        {60, "1:00"}, {65, "1:05"},
        {3599, "59:59"}, {3723, "1:02:03"}, {-4, "0 s"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(seconds), text) << seconds;
}

class Tables : public ::testing::Test {
protected:
    Tables()
    {
        for (const char* name : {"You", "Ogre", "Imp"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.Count() + 1);
            characters.Add(name, std::move(c));
        }
    }
    Roster MakeRoster() const { return {characters, 1, damageTypes, saveTypes}; }

    CharacterList characters;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
    FightTracker tracker{3};
};

// Every cell sorts by the number its text stands for, so "1,234" sorts
// above "999" and the start sorts by date, not by its text.
TEST_F(Tables, FightRowCarriesTheNumbersItsTextsShow)
{
    std::vector<int32_t> damage = {1234, 0, 1234};
    tracker.OnDamage({At(0), 1, 2, damage, 1u});
    tracker.OnDamage({At(2), 1, 2, damage, 1u});
    tracker.OnKill({At(2), 2, 1, true});
    const TableRow row = FightTableRow(tracker.Fights().at(0), MakeRoster(), true);
    ASSERT_EQ(row.cells.size(), FightColumns().size());
    EXPECT_EQ(row.key, 0);
    EXPECT_TRUE(row.emphasized);
    EXPECT_EQ(row.cells[FightNameColumn].text, "Ogre  - running");
    EXPECT_EQ(row.cells[FightStartColumn].text, "07/03/2026 08:00:00 PM");
    EXPECT_EQ(row.cells[FightStartColumn].number, static_cast<double>(SecondOf(At(0))));
    EXPECT_EQ(row.cells[FightDurationColumn].text, "2 s");
    EXPECT_EQ(row.cells[FightYourDpsColumn].text, "1234");
    EXPECT_EQ(row.cells[FightYourDpsColumn].number, 1234.0);
    EXPECT_EQ(row.cells[FightDeathsColumn].number, 1.0);
    EXPECT_EQ(
        FightTableRow(tracker.Fights().at(0), MakeRoster(), false).cells[FightNameColumn].text,
        "Ogre");

    const auto characters = FightCharacterRows(tracker.Fights().at(0), MakeRoster());
    const TableRow you = FightCharacterTableRow(characters.at(0));
    ASSERT_EQ(you.cells.size(), FightCharacterColumns().size());
    EXPECT_EQ(you.cells[CharacterDamageColumn].text, "2,468");
    EXPECT_EQ(you.cells[CharacterDamageColumn].number, 2468.0);
    EXPECT_TRUE(you.emphasized);
    // No attack rolls: no hit rate, rather than 0 %.
    EXPECT_EQ(you.cells[CharacterHitColumn].text, "");
    EXPECT_FALSE(you.cells[CharacterHitColumn].number);
}

// One column per configured save and "Other" last; a save never seen is
// blank and unknown to the sort, not 0.
TEST_F(Tables, TargetSavesFallIntoTheirColumns)
{
    tracker.OnSave({At(0), 2, 3, 10, 7, 20, true}); // Will
    tracker.OnSave({At(0), 2, 0, 10, 4, 20, true}); // unmatched
    tracker.OnAttack({At(0), 1, 3, AttackOutcome::Hit, true, {10, 20, 30, false, 0}});
    const Roster roster = MakeRoster();
    const auto columns = TargetColumns(roster);
    std::vector<std::string> headers;
    for (const auto& column : columns)
        headers.push_back(column.header);
    EXPECT_EQ(headers, (std::vector<std::string>{"Name", "AC", "AB", "Fort", "Reflex", "Will",
                                                 "Other", "Immunities", "Reductions"}));
    const auto targets = TargetRows(tracker, roster);
    ASSERT_EQ(targets.size(), 2u);
    const TableRow ogre = TargetTableRow(targets[0], roster);
    ASSERT_EQ(ogre.cells.size(), columns.size());
    EXPECT_EQ(ogre.cells[TargetNameColumn].text, "Ogre");
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn].text, "");
    EXPECT_FALSE(ogre.cells[TargetFirstSaveColumn].number);
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn + 2].number, 7.0);
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn + 3].number, 4.0);
    EXPECT_FALSE(ogre.cells[TargetAcColumn].number); // no attack against it
    const TableRow imp = TargetTableRow(targets[1], roster);
    EXPECT_EQ(imp.cells[TargetAcColumn].number, 30.0); // hit by 30: AC at most 30
}

} // namespace
} // namespace tarvik
