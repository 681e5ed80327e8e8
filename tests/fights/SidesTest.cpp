#include "fights/Sides.h"

#include "fights/OwnerEvidence.h"
#include "fights/SideColouring.h"
#include "fights/SideEvidence.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(PetNames, APrefixAndABlankMakeAPet)
{
    const std::vector<std::string> prefixes = {"Summoned", " Familiar "};
    const std::pair<const char*, bool> cases[] = {
        {"Summoned Badger", true}, {"summoned badger", true},
        {"Familiar Raven", true},  {"SummonedBadger", false},
        {"Summoned", false},       {"Badger Summoned", false},
        {"Ogre Summoner", false},  {"", false},
    };
    for (const auto& [name, pet] : cases)
        EXPECT_EQ(HasPetPrefix(name, prefixes), pet) << name;
    EXPECT_FALSE(HasPetPrefix("Summoned Badger", {}));
}

// Edges as (a, b, count of blows either way).
TEST(SideColouring, WeightedMajorityDecidesAndFewBlowsDoNotFlip)
{
    struct Case {
        const char* what;
        size_t nodes;
        std::vector<BlowEdge> edges;
        std::vector<bool> seeds;
        std::vector<Colour> expected; // node 0 unused
    };
    const Colour Y = Colour::Yours;
    const Colour E = Colour::Enemy;
    const Colour N = Colour::None;
    const Case cases[] = {
        {"you fight an ogre; a friend fights it too",
         4,
         {{1, 2, 10}, {3, 2, 8}},
         {false, true, false, false},
         {N, Y, E, Y}},
        {"a rat fighting only a stranger is nobody's",
         5,
         {{1, 2, 10}, {3, 4, 5}},
         {false, true, false, false, false},
         {N, Y, E, N, N}},
        {"a charmed friend hits you once but fights the ogre many times",
         4,
         {{1, 2, 20}, {3, 2, 12}, {3, 1, 1}},
         {false, true, false, false},
         {N, Y, E, Y}},
        {"an area spell of the ogre's hits its own kind once",
         4,
         {{1, 2, 20}, {1, 3, 15}, {2, 3, 1}},
         {false, true, false, false},
         {N, Y, E, E}},
        {"a chain: the ogre's pet fights your friend's pet",
         6,
         {{1, 2, 9}, {2, 3, 4}, {3, 4, 6}, {4, 5, 2}},
         {false, true, false, false, false, false},
         {N, Y, E, Y, E, Y}},
        {"nobody on your side: nothing is decided",
         3,
         {{1, 2, 9}},
         {false, false, false},
         {N, N, N}},
        {"edges to unknown nodes and loops are ignored",
         3,
         {{1, 2, 3}, {1, 1, 5}, {2, 9, 4}, {-1, 2, 4}},
         {false, true, false},
         {N, Y, E}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColourSides(c.nodes, c.edges, c.seeds), c.expected) << c.what;
        // The order of the edges changes nothing.
        std::vector<BlowEdge> reversed(c.edges.rbegin(), c.edges.rend());
        EXPECT_EQ(ColourSides(c.nodes, reversed, c.seeds), c.expected) << c.what;
    }
}

// Damage line (line, attacker, defender, named type bits) or absorb line
// (line, defender, type), all in one second.
struct OwnerLine {
    bool damage;
    int32_t a;
    int32_t b;
    int32_t type; // damage: type bits; absorb: 0-based type, -1 none
};

TEST(OwnerEvidence, TheCharacterInNearlyEveryAbsorbedHit)
{
    struct Case {
        const char* what;
        std::vector<OwnerLine> lines;
        int32_t owner;
    };
    const Case cases[] = {
        {"absorbs after your hits and after hits on you",
         {{true, 1, 2, 1},
          {false, 2, 0, 0},
          {true, 1, 3, 1},
          {false, 3, -1, 0},
          {true, 4, 1, 1},
          {false, 1, 0, 0}},
         1},
        {"an absorb before its damage line belongs to the line below",
         {{false, 2, 0, 0},
          {true, 1, 2, 1},
          {false, 3, 0, 0},
          {true, 1, 3, 1},
          {false, 1, -1, 0},
          {true, 5, 1, 1}},
         1},
        {"too few absorbed hits name nobody",
         {{true, 1, 2, 1}, {false, 2, 0, 0}, {true, 1, 3, 1}, {false, 3, 0, 0}},
         0},
        {"one pair of characters names nobody: either could be the owner",
         {{true, 1, 2, 1},
          {false, 2, 0, 0},
          {true, 2, 1, 1},
          {false, 1, 0, 0},
          {true, 1, 2, 1},
          {false, 2, 0, 0}},
         0},
        {"an absorb of a type its damage line did not name counts nothing",
         {{true, 1, 2, 1},
          {false, 2, 1, 0},
          {true, 1, 3, 1},
          {false, 3, 1, 0},
          {true, 4, 1, 1},
          {false, 1, 1, 0}},
         0},
        {"several absorbs of one hit count it once",
         {{true, 1, 2, 1},
          {false, 2, 0, 0},
          {false, 2, -1, 0},
          {false, 2, -1, 0},
          {true, 3, 1, 1},
          {false, 1, 0, 0},
          {true, 1, 4, 1},
          {false, 4, 0, 0}},
         1},
    };
    for (const Case& c : cases) {
        OwnerEvidence evidence;
        int64_t line = 100;
        for (const OwnerLine& l : c.lines) {
            ++line;
            if (l.damage)
                evidence.NoteDamage(line, 7, CharacterId(l.a), CharacterId(l.b),
                                    static_cast<uint64_t>(l.type));
            else
                evidence.NoteAbsorb(line, 7, CharacterId(l.a), DamageTypeIndex(l.b));
        }
        EXPECT_EQ(evidence.ByAbsorbs(), CharacterId(c.owner)) << c.what;
    }
}

TEST(OwnerEvidence, AbsorbsInAnotherSecondOrAfterAGapBelongToNoHit)
{
    OwnerEvidence evidence;
    for (int hit = 0; hit < 4; ++hit) {
        evidence.NoteDamage(10 * hit, hit, CharacterId(1), CharacterId(2), 1);
        evidence.NoteAbsorb(10 * hit + 2, hit, CharacterId(2),
                            DamageTypeIndex(0)); // a line between
        evidence.NoteDamage(10 * hit + 4, hit, CharacterId(1), CharacterId(3), 1);
        evidence.NoteAbsorb(10 * hit + 5, hit + 1, CharacterId(3),
                            DamageTypeIndex(0)); // the next second
    }
    EXPECT_EQ(evidence.AbsorbedHits(), 0);
    EXPECT_EQ(evidence.ByAbsorbs(), CharacterId::None());
}

class SideDecision : public ::testing::Test {
protected:
    SideDecision()
    {
        for (const char* name :
             {"Vexa", "Stone Warden", "Cerberus", "Talia", "Summoned Badger", "Brute", "Moth"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.NextId());
            characters.Add(name, std::move(c));
        }
    }
    SideTable Decide(CharacterId user) const
    {
        return DecideSides({characters, user, evidence, prefixes});
    }
    void Blows(CharacterId from, CharacterId to, int count)
    {
        for (int i = 0; i < count; ++i)
            evidence.NoteBlow(from, to);
    }

    CharacterList characters;
    SideEvidence evidence;
    std::vector<std::string> prefixes = {"Summoned"};
};

constexpr CharacterId Vexa(1), Warden(2), Cerberus(3), Talia(4), Badger(5), Brute(6), Moth(7);

TEST_F(SideDecision, PetsAlliesAndEnemiesFromTheEvidence)
{
    Blows(Vexa, Warden, 10);
    Blows(Warden, Vexa, 4);
    Blows(Cerberus, Warden, 12); // the dominated pet
    Blows(Talia, Warden, 6);     // speaks in party chat
    Blows(Badger, Brute, 3);     // a summoned pet fights the warden's friend
    Blows(Brute, Vexa, 5);
    Blows(Brute, Warden, 1); // charmed for a moment
    evidence.NoteDominated("cerberus");
    evidence.NotePartySpeaker("TALIA");
    const SideTable table = Decide(Vexa);
    const std::vector<Side> expected = {Side::Unknown, Side::You, Side::Enemy, Side::Pet,
                                        Side::Ally,    Side::Pet, Side::Enemy, Side::Unknown};
    EXPECT_EQ(table.byId, expected);
    EXPECT_TRUE(table.anyOnYourSide);
}

TEST_F(SideDecision, MarksWinOverTheEvidence)
{
    Blows(Vexa, Warden, 10);
    Blows(Talia, Vexa, 10); // fights you, but marked a party member by hand
    characters.At(Talia)->SetIsPartyMember(true);
    evidence.NotePartySpeaker("Stone Warden"); // speaks in party chat, yet marked nothing
    SideTable table = Decide(Vexa);
    EXPECT_EQ(table.Of(Talia), Side::Party);
    EXPECT_EQ(table.Of(Warden), Side::Ally);

    // Without marks or evidence nobody is on your side and nothing is decided.
    characters.At(Talia)->SetIsPartyMember(false);
    SideEvidence none;
    table = DecideSides({characters, CharacterId::None(), none, prefixes});
    EXPECT_FALSE(table.anyOnYourSide);
    for (size_t id = 1; id < table.byId.size(); ++id)
        EXPECT_EQ(table.byId[id], Side::Unknown) << id;
}

TEST_F(SideDecision, AnInferredMemberWhoseMarkWasRemovedLeavesYourSide)
{
    Blows(Vexa, Warden, 10);
    Blows(Talia, Warden, 10);
    evidence.NoteInferredMember(Talia);
    characters.At(Talia)->SetIsPartyMember(true);
    EXPECT_EQ(Decide(Vexa).Of(Talia), Side::Ally); // marked for the evidence: still an ally
    characters.At(Talia)->SetIsPartyMember(false); // unmarked by hand
    EXPECT_NE(Decide(Vexa).Of(Talia), Side::Ally);
}

TEST_F(SideDecision, TheTableIsDecidedAgainOnlyWhenSomethingChanged)
{
    Sides sides;
    Blows(Vexa, Warden, 3);
    const SideInputs inputs{characters, Vexa, evidence, prefixes};
    const SideTable* first = &sides.Current(inputs, 1);
    EXPECT_EQ(first->Of(Warden), Side::Enemy);
    EXPECT_EQ(&sides.Current(inputs, 1), first);
    // A new mark: decided again.
    characters.At(Warden)->SetIsPartyMember(true);
    EXPECT_EQ(sides.Current(inputs, 2).Of(Warden), Side::Party);
    // New evidence: decided again.
    characters.At(Warden)->SetIsPartyMember(false);
    Blows(Moth, Vexa, 1);
    const SideTable& again = sides.Current(inputs, 3);
    EXPECT_EQ(again.Of(Moth), Side::Enemy);
    EXPECT_EQ(again.Of(Warden), Side::Enemy);
}

} // namespace
} // namespace tarvik
