// Death recaps: read from the packed events a death keeps, merged and
// summed as a player reads them.
#include "fights/RecapView.h"

#include "fights/PackedRecapEvents.h"
#include "fights/RecentEvents.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

constexpr CharacterId Victim(1), Ogre(2), Imp(3);
constexpr int64_t Death = 1000;

RecapEvent Blow(int64_t second, CharacterId from, int32_t physical, int32_t fire = 0)
{
    RecapEvent e;
    e.second = second;
    e.kind = RecapKind::Damage;
    e.source = from;
    e.amount = physical + fire;
    if (physical)
        e.types[e.typeCount++] = {DamageTypeIndex(0), physical};
    if (fire)
        e.types[e.typeCount++] = {DamageTypeIndex(1), fire};
    return e;
}
RecapEvent Heal(int64_t second, int32_t amount)
{
    RecapEvent e;
    e.second = second;
    e.kind = RecapKind::Healing;
    e.amount = amount;
    return e;
}
RecapEvent Immune(int64_t second, int32_t type, int32_t amount)
{
    RecapEvent e;
    e.second = second;
    e.kind = RecapKind::Immunity;
    e.type = type;
    e.amount = amount;
    return e;
}
RecapEvent Reduced(int64_t second, int32_t amount)
{
    RecapEvent e;
    e.second = second;
    e.kind = RecapKind::Absorb;
    e.amount = amount;
    return e;
}
RecapEvent Saved(int64_t second, int32_t total, int32_t dc, bool success)
{
    RecapEvent e;
    e.second = second;
    e.kind = RecapKind::Save;
    e.type = 2;
    e.amount = total;
    e.dc = dc;
    e.success = success;
    return e;
}

class Recaps : public ::testing::Test {
protected:
    Recaps()
    {
        for (const char* name : {"Vexa", "Ogre", "Imp"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.NextId());
            characters.Add(name, std::move(c));
        }
    }
    RecapView Build(const std::vector<RecapEvent>& events, CharacterId killer = Ogre) const
    {
        DeathRecap recap{Death, Victim, killer, PackedRecapEvents(events)};
        return BuildRecap(recap, {characters, Victim, damageTypes, saveTypes});
    }
    static std::vector<std::string> Texts(const RecapView& view)
    {
        std::vector<std::string> texts;
        for (const RecapLine& line : view.lines)
            texts.push_back(line.text);
        return texts;
    }

    CharacterList characters;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
};

TEST_F(Recaps, LinesMergedAsAPlayerReadsThem)
{
    struct Case {
        const char* what;
        std::vector<RecapEvent> events;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"regeneration ticks with nothing between become one line",
         {Heal(990, 2), Heal(992, 2), Heal(994, 3), Blow(995, Ogre, 40), Heal(996, 2), Heal(998, 2),
          Blow(1000, Ogre, 30)},
         {"Healed 7 in 3 ticks", "40 damage from Ogre (40 Physical)", "Healed 4 in 2 ticks",
          "Killing blow: 30 damage from Ogre (30 Physical)"}},
        {"absorbs join the blow above in their second, else the one below",
         {Immune(995, 1, 5), Blow(995, Imp, 0, 10), Blow(995, Ogre, 50), Immune(995, 0, 20),
          Reduced(995, 5), Blow(1000, Ogre, 12)},
         {"10 damage from Imp (10 Fire); absorbed 5 Fire",
          "50 damage from Ogre (50 Physical); absorbed 20 Physical, 5 by resistance or reduction",
          "Killing blow: 12 damage from Ogre (12 Physical)"}},
        {"absorbs of nothing are dropped; one with no blow in its second stands alone",
         {Blow(990, Ogre, 8), Immune(990, 1, 0), Reduced(993, 0), Reduced(994, 6),
          Blow(1000, Ogre, 9)},
         {"8 damage from Ogre (8 Physical)", "Resistance or reduction absorbed 6",
          "Killing blow: 9 damage from Ogre (9 Physical)"}},
        {"a save joins the blow below it",
         {Saved(999, 18, 26, false), Blow(999, Imp, 0, 30), Saved(1000, 30, 26, true)},
         // The ogre killed with no blow in the recap: the last blow is marked.
         {"Killing blow: 30 damage from Imp (30 Fire); Reflex save failed: 18 vs. DC 26",
          "Reflex save succeeded: 30 vs. DC 26"}},
        {"the killer's last blow kills, though others hit after it",
         {Blow(998, Ogre, 20), Blow(999, Ogre, 25), Blow(1000, Imp, 3)},
         {"20 damage from Ogre (20 Physical)", "Killing blow: 25 damage from Ogre (25 Physical)",
          "3 damage from Imp (3 Physical)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Texts(Build(c.events)), c.lines) << c.what;

    // A killer that dealt no damage: the last blow of all is marked.
    const RecapView view = Build({Blow(998, Ogre, 20), Blow(999, Ogre, 25)}, Imp);
    ASSERT_EQ(view.lines.size(), 2u);
    EXPECT_TRUE(view.lines[1].killingBlow);
    EXPECT_EQ(view.lines[1].secondsBefore, 1);
}

TEST_F(Recaps, BlowsSummedPerAttackerWithTheLargest)
{
    const RecapView view = Build({Blow(990, Imp, 5), Blow(991, Ogre, 30, 12), Heal(992, 50),
                                  Blow(993, Imp, 7), Blow(995, Ogre, 21), Blow(1000, Ogre, 9)});
    ASSERT_EQ(view.byAttacker.size(), 2u);
    EXPECT_EQ(view.byAttacker[0].name, "Ogre");
    EXPECT_EQ(view.byAttacker[0].damage, 72);
    EXPECT_EQ(view.byAttacker[0].blows, 3);
    EXPECT_EQ(view.byAttacker[0].largest, 42);
    EXPECT_EQ(view.byAttacker[1].damage, 12);
    EXPECT_EQ(RecapAttackersText(view),
              "By attacker: Ogre 72 in 3 blows (largest 42), Imp 12 in 2 blows (largest 7)");
    EXPECT_EQ(RecapAttackersText(Build({Heal(999, 3)})), "");
}

TEST_F(Recaps, AtMostFortyLinesTheLatestAndTheKillingBlow)
{
    // 50 blows of the imp, one a second, then 10 regeneration ticks each
    // after a blow of its own: the latest lines are kept.
    std::vector<RecapEvent> events;
    for (int i = 0; i < 50; ++i)
        events.push_back(Blow(900 + i, Imp, i + 1));
    RecapView view = Build(events, Imp);
    ASSERT_EQ(view.lines.size(), MaxRecapLines);
    EXPECT_EQ(view.lines.front().amount, 11);
    EXPECT_EQ(view.lines.back().amount, 50);
    EXPECT_TRUE(view.lines.back().killingBlow);
    // Summing sees every blow kept, not only the lines shown.
    EXPECT_EQ(view.byAttacker.at(0).blows, 50);

    // The ogre's killing blow, then more imp blows and healing than a recap
    // shows: the killing blow stays, the oldest lines go.
    events = {Blow(900, Ogre, 99)};
    for (int i = 0; i < 45; ++i) {
        events.push_back(Blow(901 + i, Imp, 1));
        events.push_back(Heal(901 + i, 2));
    }
    view = Build(events, Ogre);
    ASSERT_EQ(view.lines.size(), MaxRecapLines);
    EXPECT_TRUE(view.lines.front().killingBlow);
    EXPECT_EQ(view.lines.front().amount, 99);
    EXPECT_EQ(view.lines.back().kind, RecapLineKind::Healing);
}

TEST_F(Recaps, KillingBlowKeptWhenTenRegenerationTicksComeLast)
{
    std::vector<RecapEvent> events = {Blow(985, Ogre, 83), Blow(986, Ogre, 91),
                                      Blow(987, Ogre, 51)};
    for (int i = 0; i < 10; ++i)
        events.push_back(Heal(988 + i, 2));
    const RecapView view = Build(events);
    EXPECT_EQ(Texts(view),
              (std::vector<std::string>{
                  "83 damage from Ogre (83 Physical)", "91 damage from Ogre (91 Physical)",
                  "Killing blow: 51 damage from Ogre (51 Physical)", "Healed 20 in 10 ticks"}));
    EXPECT_EQ(view.lines.back().ticks, 10);
}

TEST(PackedRecapEvents, GivesBackEveryEventAsItWas)
{
    // A game date's second: about 63.9 billion seconds after the zero date.
    constexpr int64_t Now = 63'900'000'000;
    RecapEvent fourTypes = Blow(Now, CharacterId(7), 1, 200);
    fourTypes.types[fourTypes.typeCount++] = {DamageTypeIndex(2), 30000};
    fourTypes.types[fourTypes.typeCount++] = {DamageTypeIndex(12), 4};
    RecapEvent extremes = Blow(Now, CharacterId(INT32_MAX), INT32_MAX);
    extremes.types[1] = {DamageTypeIndex(63), INT32_MIN};
    extremes.typeCount = 2;
    extremes.amount = INT32_MIN;
    RecapEvent oddFields = Heal(-Now, 5); // fields its kind does not use
    oddFields.source = CharacterId(-5);
    oddFields.type = INT32_MIN;
    oddFields.dc = INT32_MAX;
    oddFields.success = true;

    struct Case {
        const char* what;
        std::vector<RecapEvent> events;
    };
    const std::vector<Case> cases = {
        {"none", {}},
        {"a death's usual seconds",
         {Saved(Now - 15, 24, 17, true), Blow(Now - 14, Ogre, 29, 2), Blow(Now - 14, Ogre, 31),
          Immune(Now, 1, 10), Reduced(Now, 0), Heal(Now, 12)}},
        {"four types", {fourTypes}},
        {"a save without a DC, failed", {Saved(Now, -3, -1, false)}},
        {"time going back and far ahead",
         {Heal(Now, 1), Heal(Now - 3600, 1), Heal(Now + 86400 * 365, 1), Reduced(0, 1)}},
        {"extreme amounts and IDs", {extremes}},
        {"fields its kind does not use", {oddFields}},
    };
    for (const Case& c : cases) {
        const PackedRecapEvents packed(c.events);
        EXPECT_EQ(packed.Size(), c.events.size()) << c.what;
        EXPECT_EQ(packed.Empty(), c.events.empty()) << c.what;
        EXPECT_EQ(packed.Unpack(), c.events) << c.what;
    }

    // A busy fight's recap, a blow of two types every second, takes a
    // fraction of the events it holds.
    std::vector<RecapEvent> blows;
    for (int32_t i = 0; i < 256; ++i)
        blows.push_back(Blow(Now - 255 + i, CharacterId(1200 + i % 5), 40 + i % 30, 3 + i % 9));
    PackedRecapEvents packed(blows);
    EXPECT_EQ(packed.Unpack(), blows);
    EXPECT_LE(packed.Bytes(), blows.size() * sizeof(RecapEvent) / 4);
    // Assigning replaces what was held.
    packed.Assign(cases[1].events);
    EXPECT_EQ(packed.Unpack(), cases[1].events);
    packed.Assign({});
    EXPECT_TRUE(packed.Empty());
    EXPECT_TRUE(packed.Unpack().empty());
}

TEST(RecentEventsRing, CutsTheVictimsEventsOfTheWindow)
{
    RecentEvents ring(15);
    auto push = [&](int32_t who, int64_t second, int32_t amount) {
        ring.Next(CharacterId(who), second).amount = amount;
    };
    push(1, 100, 1); // older than the window at the death
    push(2, 110, 2);
    push(1, 120, 3);
    push(1, 130, 4);
    push(2, 131, 5);
    auto cut = [&](int32_t who, int64_t second, size_t max) {
        PackedRecapEvents packed;
        ring.Cut(CharacterId(who), second, max, packed);
        return packed.Unpack();
    };
    std::vector<RecapEvent> out = cut(1, 131, 10);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].amount, 3);
    EXPECT_EQ(out[1].amount, 4);
    EXPECT_EQ(out[1].second, 130);
    // At most max, the newest.
    out = cut(1, 131, 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].amount, 4);

    // Events older than the window go as time moves on: the ring holds the
    // last seconds, however many characters there are.
    for (int32_t who = 1; who <= 5000; ++who)
        push(who, 200 + who / 100, who);
    EXPECT_LE(ring.Size(), RecentEvents::Capacity);
    EXPECT_TRUE(cut(1, 250, 10).empty());
    out = cut(4999, 249, 10);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].amount, 4999);

    // A log that begins earlier starts the ring afresh.
    push(7, 10, 77);
    EXPECT_EQ(ring.Size(), 1u);
}

} // namespace
} // namespace tarvik
