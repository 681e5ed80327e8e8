#include "analysis/RecordParser.h"

#include "AnalysisTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Ints = std::vector<int32_t>;

// A parser on the shipped vocabulary, or on the small one of the tests,
// fed records classified as the reader classifies them.
class Parsing : public ::testing::Test {
protected:
    explicit Parsing(AnalysisConfig analysisConfig = test::ShippedAnalysisConfig())
        : config(std::move(analysisConfig))
        , parser(config)
    {
    }

    RecordContext Classified(std::string_view body) const
    {
        const RecordTypes::Match match = config.recordTypes.Classify(body);
        EXPECT_TRUE(match) << body;
        return {body, body, match.kind, match.identifier, match.position, DateTime()};
    }

    AnalysisConfig config;
    RecordParser parser;
};

class ExampleParsing : public Parsing {
protected:
    ExampleParsing()
        : Parsing(test::ExampleConfig())
    {
    }
};

struct Expected {
    const char* attacker;
    const char* defender;
    bool hit;
    AttackOutcome outcome;
    int32_t total; // of the roll; -1: no readable roll
    bool descriptionsRemoved;
};

TEST_F(Parsing, AttacksOfEveryShape)
{
    using enum AttackOutcome;
    const std::pair<const char*, Expected> cases[] = {
        {"Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
         {"Drogo", "Duergar Veteran", true, Hit, 29, false}},
        {"Xin'thah Moragh attacks Legendary Bear : *critical hit* : (20 + 24 = 44 : Threat Roll: "
         "14 + 24 = 38)",
         {"Xin'thah Moragh", "Legendary Bear", true, CriticalHit, 44, false}},
        // Only a threat roll makes a critical hit; without one it is a plain hit.
        {"Bob attacks Orc : *critical hit* : (20 + 24 = 44)", {"Bob", "Orc", true, Hit, 44, false}},
        // A roll that cannot be read leaves the word to the result.
        {"Bob attacks Orc : *critical hit* : (lots)", {"Bob", "Orc", true, CriticalHit, -1, false}},
        {"Di'Rancor Guard attacks Nazzadan : *miss* : (14 + 27 = 41)",
         {"Di'Rancor Guard", "Nazzadan", false, Miss, 41, false}},
        {"Maugrim attacks Epic Mummy Warrior : *target concealed: 50%* : (2 + 54 = 56)",
         {"Maugrim", "Epic Mummy Warrior", false, Other, 56, false}},
        {"Perryn Starburst attacks Draconic Warrior : *parried* : (7 + 54 = 61)",
         {"Perryn Starburst", "Draconic Warrior", false, Other, 61, false}},
        {"Cara O'Sullivan attacks Hellspawn : *attacker miss chance: 100%* : (13 + 51 = 64)",
         {"Cara O'Sullivan", "Hellspawn", false, Other, 64, false}},
        {"Off Hand : Sneak Attack : Grrr'ark Bloodpaw attacks Chicken : *critical hit* : (15 + 41 "
         "= 56 : Threat Roll: 12 + 41 = 53)",
         {"Grrr'ark Bloodpaw", "Chicken", true, CriticalHit, 56, true}},
        {"Sneak Attack + Death Attack : SpecialistBuby attacks Cursed Beholder Tyrant : *hit* : "
         "(11 + 70 = 81)",
         {"SpecialistBuby", "Cursed Beholder Tyrant", true, Hit, 81, true}},
        {"Off Hand :  Ander Gara attempts Cleave on Plane Hell Wurm : *critical hit* : (17 + 65 = "
         "82 : Threat Roll: 19 + 65 = 84)",
         {"Ander Gara", "Plane Hell Wurm", true, CriticalHit, 82, true}},
        {"Durga attempts Improved Knockdown on Legendary Wolf : *resisted* : (2 + 25 = 27)",
         {"Durga", "Legendary Wolf", false, Other, 27, false}},
        // The colon of Called Shot is no separator, behind a description too.
        {"Cave Spider Matron attempts Called Shot: Arm on Durga : *miss* : (9 + 41 = 50)",
         {"Cave Spider Matron", "Durga", false, Miss, 50, false}},
        {"Sneak Attack : Cave Spider Matron attempts Called Shot: Leg on Durga : *hit* : (19 + 41 "
         "= 60)",
         {"Cave Spider Matron", "Durga", true, Hit, 60, true}},
    };
    for (const auto& [body, e] : cases) {
        const ParsedAttack a = parser.ParseAttack(Classified(body));
        ASSERT_FALSE(a.attacker.rejection || a.defender.rejection) << body;
        EXPECT_EQ(a.attacker.name, e.attacker) << body;
        EXPECT_EQ(a.defender.name, e.defender) << body;
        EXPECT_EQ(a.hit, e.hit) << body;
        EXPECT_EQ(a.outcome, e.outcome) << body;
        EXPECT_EQ(a.roll ? a.roll->total : -1, e.total) << body;
        EXPECT_EQ(a.descriptionsRemoved, e.descriptionsRemoved) << body;
        // What the debug log tells of the cuts: the acting field at the
        // identifier, then the rest at the separator.
        EXPECT_EQ(a.attacker.cut.text, a.acting) << body;
        EXPECT_TRUE(a.acting.starts_with(e.attacker)) << body;
        EXPECT_EQ(a.defender.cut.text, a.attacker.cut.right) << body;
        EXPECT_TRUE(a.attacker.cut.right.starts_with(e.defender)) << body;
    }
}

TEST_F(Parsing, AttacksThatCannotBeTakenApartSayWhereTheyStopped)
{
    struct Case {
        const char* body;
        const char* attacker; // found before the record is discarded; empty: none
        const char* message;
        const char* debug;
    };
    const Case cases[] = {
        {"attacks Orc : *hit* : (1 + 5 = 6)", "",
         "Invalid attack record, discarded: ", "Analysis:  Invalid attack record discarded."},
        {"Bob attacks Orc", "Bob",
         "Custom attack record, discarded: ", "Analysis:  custom attack record discarded."},
        // A separator at the very end cuts nothing.
        {"Bob attacks Orc :", "Bob",
         "Custom attack record, discarded: ", "Analysis:  custom attack record discarded."},
    };
    for (const auto& c : cases) {
        const ParsedAttack a = parser.ParseAttack(Classified(c.body));
        const Rejection& r = *c.attacker ? a.defender.rejection : a.attacker.rejection;
        EXPECT_EQ(a.attacker.cut.made, *c.attacker != '\0') << c.body;
        EXPECT_EQ(a.attacker.name, c.attacker) << c.body;
        EXPECT_FALSE(a.defender.cut.made) << c.body;
        ASSERT_TRUE(r) << c.body;
        EXPECT_EQ(r.Message(), c.message) << c.body;
        EXPECT_EQ(r.text->debugLevel, 2) << c.body;
        EXPECT_EQ(r.text->debug, c.debug) << c.body;
    }
}

TEST_F(Parsing, ConcealmentAndAttackBonusAreReadFromTheActingField)
{
    struct Case {
        const char* body;
        bool marked, readable;
        int32_t percent, bonus;
    };
    const Case cases[] = {
        {"Bob attacks Orc : *target concealed: 50%* : (1 + 5 = 6)", true, true, 50, 5},
        {"Bob attacks Orc : *target concealed: lots%* : (1 + 5 = 6)", true, false, 0, 5},
        {"Bob attacks Orc : *hit* : (14 + 8 = 22)", false, false, 0, 8},
        // No "=" after the bonus, or a bonus written negative: none.
        {"Bob attacks Orc : *hit* : (14 + 8)", false, false, 0, 0},
        {"Bob attacks Orc : *hit* : (3 - 2 = 1)", false, false, 0, 0},
        // The "+" of a description is not the roll's.
        {"Sneak Attack + Death Attack : Bob attacks Orc : *hit* : (3 + 9 = 12)", false, false, 0,
         9},
    };
    for (const auto& c : cases) {
        const ParsedAttack a = parser.ParseAttack(Classified(c.body));
        const Concealment concealment = parser.ConcealmentOf(a.acting);
        EXPECT_EQ(concealment.marked, c.marked) << c.body;
        EXPECT_EQ(concealment.readable, c.readable) << c.body;
        EXPECT_EQ(concealment.percent, c.percent) << c.body;
        EXPECT_EQ(parser.AttackBonusOf(a.acting), c.bonus) << c.body;
    }
}

// With the tests' types: Physical, Fire, Negative, Total.
TEST_F(ExampleParsing, DamageByTypeWithTheLookupsTheDebugLogTells)
{
    struct Case {
        const char* body;
        Ints amounts;
        uint64_t named;
        std::vector<int32_t> lookups; // each type's place from 0; -1: none found
    };
    const Case cases[] = {
        {"Smith Smurf damages Legendary Bear: 30 (20 Physical 10 Fire)",
         {20, 10, 0, 30},
         0b011,
         {0, 1}},
        // A type of two words; a zero amount names its type and adds nothing.
        {"Cursed Corpse Eater damages Woo Whirlwind: 61 (52 Physical 9 Negative Energy 0 Fire)",
         {52, 0, 9, 61},
         0b111,
         {0, 2, 1}},
        {"Di'rancor Drider damages Nazzadan: 0 (0 Fire)", {0, 0, 0, 0}, 0b010, {1}},
        {"Orc damages Bob: 7 (0 Glitter 7 Fire)", {0, 7, 0, 7}, 0b010, {-1, 1}},
        {"Orc damages Bob: 12 (5 Fire 7 Fire)", {0, 12, 0, 12}, 0b010, {1, 1}},
    };
    for (const auto& c : cases) {
        const ParsedDamage d = parser.ParseDamage(Classified(c.body));
        ASSERT_FALSE(d.attacker.rejection || d.defender.rejection || d.rejection) << c.body;
        ASSERT_NE(d.amounts, nullptr) << c.body;
        EXPECT_EQ(*d.amounts, c.amounts) << c.body;
        EXPECT_EQ(d.namedTypes, c.named) << c.body;
        std::vector<int32_t> lookups;
        for (const DamageTypeIndex type : d.typeLookups)
            lookups.push_back(type.value());
        EXPECT_EQ(lookups, c.lookups) << c.body;
    }
}

TEST_F(ExampleParsing, DamageThatCannotBeTakenApart)
{
    struct Case {
        const char* body;
        int names; // found before the record is discarded
        const char* debug;
        const char* missing;          // named in the debug line; null: none
        std::vector<int32_t> lookups; // each type's place from 0; -1: none found
    };
    const Case cases[] = {
        {"damages Bob: 5 (5 Fire)",
         0,
         "Analysis:  Invalid damage record:  missing deliminator",
         "damages",
         {}},
        {"Orc damages Bob 5 Fire",
         1,
         "Analysis:  Invalid damage record:  missing deliminator",
         ":",
         {}},
        {"Orc damages Bob: )",
         2,
         "Analysis:  Invalid damage record:  can not parse into damage types.",
         nullptr,
         {}},
        {"Orc damages Bob: 15 (5 Physical 3 Glitter 7 Fire)",
         2,
         "Analysis:  Invalid damage record:  no damage amount.",
         nullptr,
         {0, -1}},
        {"Orc damages Bob: 12",
         2,
         "Analysis:  Invalid damage record:  no damage amount (cleanup).",
         nullptr,
         {-1}},
        {"Orc damages Bob: 5 (5 Glitter)",
         2,
         "Analysis:  Invalid damage record:  no damage amount (cleanup).",
         nullptr,
         {-1}},
    };
    for (const auto& c : cases) {
        const ParsedDamage d = parser.ParseDamage(Classified(c.body));
        const Rejection& r = c.names == 0 ? d.attacker.rejection
                                          : (c.names == 1 ? d.defender.rejection : d.rejection);
        ASSERT_TRUE(r) << c.body;
        EXPECT_EQ(r.Message(), "Invalid damage record, discarded: ") << c.body;
        EXPECT_EQ(r.text->debugLevel, 1) << c.body;
        EXPECT_EQ(r.text->debug, c.debug) << c.body;
        EXPECT_EQ(r.text->namesMissing, c.missing != nullptr) << c.body;
        EXPECT_EQ(r.missing, c.missing ? c.missing : "") << c.body;
        EXPECT_EQ(d.attacker.cut.made, c.names >= 1) << c.body;
        EXPECT_EQ(d.defender.cut.made, c.names >= 2) << c.body;
        std::vector<int32_t> lookups;
        for (const DamageTypeIndex type : d.typeLookups)
            lookups.push_back(type.value());
        EXPECT_EQ(lookups, c.lookups) << c.body;
    }
}

// An amount of a damage record that is negative or does not fit 32 bits,
// or a record whose total would not, discards the record.
TEST_F(ExampleParsing, DamageOutOfRangeIsDiscarded)
{
    for (const char* body :
         {"Orc damages Bob: 1 (2000000000 Physical 2000000000 Fire)",
          "Orc damages Bob: 1 (2000000000 Fire 2000000000 Fire)",
          "Orc damages Bob: 1 (99999999999 Fire)", "Orc damages Bob: 99999999999999999999",
          "Orc damages Bob: -5 (-5 Fire)", "Orc damages Bob: 0 (5 Physical -5 Fire)"}) {
        const ParsedDamage d = parser.ParseDamage(Classified(body));
        EXPECT_EQ(d.rejection.Message(), "Number out of range, discarded: ") << body;
    }
}

TEST_F(Parsing, HealingAbsorbAndSaveAmounts)
{
    struct Case {
        const char* body;
        const char* name;
        int32_t amount;
        Fault fault;
        bool outOfRange = false; // the record is discarded
    };
    const Case cases[] = {
        {"Greg the Nasty : Healed 15 hit points.", "Greg the Nasty", 15, Fault::None},
        {"Greg the Nasty : Healed 0 hit points.", "Greg the Nasty", 0, Fault::None},
        {"Bob : Healed lots hit points.", "Bob", 0, Fault::TypeMismatch},
        {"Bob : Healed 99999999999 hit points.", "Bob", 0, Fault::None, true},
        {"Bob : Healed -5 hit points.", "Bob", 0, Fault::None, true},
        {"Nazzadan : Damage Resistance absorbs 5 damage", "Nazzadan", 5, Fault::None},
        {"Nazzadan : Damage Reduction absorbs 12 damage", "Nazzadan", 12, Fault::None},
        {"Nazzadan : Damage Immunity absorbs 1 point(s) of Physical", "Nazzadan", 1, Fault::None},
        {"Bob : Damage Resistance absorbs many damage", "Bob", 0, Fault::TypeMismatch},
        {"Bob : Damage Resistance absorbs 4294967295 damage", "Bob", 0, Fault::None, true},
        {"Bob : Damage Immunity absorbs -1 point(s) of Fire", "Bob", 0, Fault::None, true},
        {"Xin'thah Moragh : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)", "Xin'thah Moragh",
         16, Fault::None},
        // A bonus may be negative, written either way.
        {"Bob : Will Save : *failure* : (3 - 2 = 1 vs. DC: 15)", "Bob", -2, Fault::None},
        {"Bob : Will Save : *failure* : (3 + -2 = 1 vs. DC: 15)", "Bob", -2, Fault::None},
        {"Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)", "Bob", 0, Fault::TypeMismatch},
        {"Bob : Will Save : *success* : (6 + 16000000000 = 16000000006 vs. DC: 15)", "Bob", 0,
         Fault::None, true},
    };
    for (const auto& c : cases) {
        const RecordContext record = Classified(c.body);
        Opening opening;
        int32_t amount = 0;
        Fault fault = Fault::None;
        if (record.kind == RecordKind::Healing) {
            const ParsedHealing p = parser.ParseHealing(record);
            opening = p.character;
            amount = p.amount;
            fault = p.fault;
        } else if (record.kind == RecordKind::Resist) {
            const ParsedAbsorb p = parser.ParseAbsorb(record);
            opening = p.character;
            amount = p.amount;
            fault = p.fault;
        } else {
            const ParsedSave p = parser.ParseSave(record);
            opening = p.character;
            amount = p.bonus;
            fault = p.fault;
        }
        EXPECT_EQ(opening.rejection.Message(),
                  c.outOfRange ? "Number out of range, discarded: " : "")
            << c.body;
        EXPECT_EQ(opening.name, c.name) << c.body;
        EXPECT_EQ(fault, c.fault) << c.body;
        EXPECT_EQ(amount, c.amount) << c.body;
    }
}

// Shipped types: Physical, Magical, Acid, Cold, Divine, Electrical, Fire,
// Negative, ...
TEST_F(Parsing, AbsorbsNameTheTypeOnlyForImmunity)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"Nazzadan : Damage Immunity absorbs 1 point(s) of Physical", 0},
        {"Nazzadan : Damage Immunity absorbs 7 point(s) of Negative Energy", 7},
        {"Nazzadan : Damage Resistance absorbs 5 damage", -1},
        {"Nazzadan : Damage Immunity absorbs 3 point(s) of Glitter", -1},
    };
    for (const auto& [body, type] : cases) {
        const ParsedAbsorb absorb = parser.ParseAbsorb(Classified(body));
        EXPECT_EQ(absorb.damageType, DamageTypeIndex(type)) << body;
        EXPECT_EQ(absorb.typeLookup, DamageTypeIndex(type)) << body;
    }
}

TEST_F(Parsing, AttackKindsAndNegativeBonuses)
{
    struct Case {
        const char* body;
        int32_t bonus, total;
        bool touch, special, offHand;
    };
    const Case cases[] = {
        {"Vexa attacks Stone Warden : *hit* : (5 + 65 = 70)", 65, 70, false, false, false},
        {"Vexa attacks Stone Warden : *miss* : (3 - 2 = 1)", -2, 1, false, false, false},
        {"Off Hand : Sneak Attack : Grrr'ark Bloodpaw attacks Chicken : *miss* : (4 - 12 = -8)",
         -12, -8, false, false, true},
        {"Sneak Attack : Off Hand : Vexa attacks Stone Warden : *hit* : (15 + 41 = 56)", 41, 56,
         false, false, true},
        {"Off Hand :  Ander Gara attempts Cleave on Plane Hell Wurm : *hit* : (17 + 65 = 82)", 65,
         82, false, true, true},
        {"Vexa attempts Touch Attack on Stone Warden : *hit* : (12 + 30 = 42)", 30, 42, true, true,
         false},
        {"Vexa attempts Ranged Touch Attack on Stone Warden : *miss* : (2 - 1 = 1)", -1, 1, true,
         true, false},
        {"Durga attempts Improved Knockdown on Legendary Wolf : *resisted* : (2 + 25 = 27)", 25, 27,
         false, true, false},
        // A name that holds the words is no off-hand attack.
        {"Off Handed Bob attacks Orc : *hit* : (10 + 5 = 15)", 5, 15, false, false, false},
    };
    for (const auto& c : cases) {
        const ParsedAttack a = parser.ParseAttack(Classified(c.body));
        ASSERT_FALSE(a.attacker.rejection || a.defender.rejection) << c.body;
        ASSERT_TRUE(a.roll) << c.body;
        EXPECT_EQ(a.roll->bonus, c.bonus) << c.body;
        EXPECT_EQ(a.roll->total, c.total) << c.body;
        EXPECT_EQ(a.touch, c.touch) << c.body;
        EXPECT_EQ(a.special, c.special) << c.body;
        EXPECT_EQ(a.offHand, c.offHand) << c.body;
    }
}

TEST_F(Parsing, SpecialImmunitiesAndSpellResistance)
{
    struct Immunity {
        const char* body;
        const char* name;
        const char* what;
    };
    const Immunity immunities[] = {
        {"Stone Warden : Immune to Critical Hits.", "Stone Warden", "Critical Hits"},
        {"Stone Warden : Immune to Sneak Attacks.", "Stone Warden", "Sneak Attacks"},
        {"Stone Warden : Immune to Slow.", "Stone Warden", "Slow"},
        {"Plane Hell Wurm is immune to to FEAR effects", "Plane Hell Wurm", "FEAR"},
    };
    for (const auto& [body, name, what] : immunities) {
        const RecordContext record = Classified(body);
        ASSERT_EQ(record.kind, RecordKind::Immunity) << body;
        const ParsedImmunity immunity = parser.ParseImmunity(record);
        ASSERT_FALSE(immunity.character.rejection) << body;
        EXPECT_EQ(immunity.character.name, name) << body;
        EXPECT_EQ(immunity.what, what) << body;
    }
    EXPECT_TRUE(parser.ParseImmunity(Classified(": Immune to Slow.")).character.rejection);

    struct Resist {
        const char* body;
        const char* name; // null: rejected
        const char* spell;
        const char* result;
    };
    const Resist resists[] = {
        {"SPELL RESIST: Vexa Thorn attempts to resist: Hammer of the Gods - Result:  IMMUNE",
         "Vexa Thorn", "Hammer of the Gods", "IMMUNE"},
        {"SPELL RESIST: Vexa Thorn attempts to resist: Horrid Wilting - Result:  FAILED",
         "Vexa Thorn", "Horrid Wilting", "FAILED"},
        // A spell's name may hold a dash.
        {"SPELL RESIST: Vexa attempts to resist: Bigby's Crushing - Hand - Result:  RESISTED",
         "Vexa", "Bigby's Crushing - Hand", "RESISTED"},
        {"SPELL RESIST: Vexa attempts to resist: Implosion", nullptr, "", ""},
        {"SPELL RESIST: attempts to resist: Implosion - Result:  FAILED", nullptr, "", ""},
        {"SPELL RESIST: Vexa attempts to resist: Implosion - Result:", nullptr, "", ""},
    };
    for (const auto& r : resists) {
        const RecordContext record = Classified(r.body);
        ASSERT_EQ(record.kind, RecordKind::SpellResist) << r.body;
        const ParsedSpellResist parsed = parser.ParseSpellResist(record);
        ASSERT_EQ(static_cast<bool>(parsed.rejection), r.name == nullptr) << r.body;
        if (!r.name)
            continue;
        EXPECT_EQ(parsed.name, r.name) << r.body;
        EXPECT_EQ(parsed.spell, r.spell) << r.body;
        EXPECT_EQ(parsed.result, r.result) << r.body;
    }
    // Chat about immunity stays chat.
    EXPECT_EQ(Classified("Vexa Thorn: [Party] I am immune to critical hits").kind,
              RecordKind::Chat);
}

TEST_F(Parsing, SavesWithTheirTypeRollAndClass)
{
    struct Case {
        const char* body;
        const char* name;
        int type; // Fort, Reflex, Will from 1
        bool success;
        int32_t roll, dc;
    };
    const Case cases[] = {
        {"Xin'thah Moragh : Fortitude Save vs. Disease : *failure* : (1 + 16 = 17 vs. DC: 13)",
         "Xin'thah Moragh", 1, false, 1, 13},
        {"Xin'thah Moragh : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)", "Xin'thah Moragh", 3,
         true, 6, 15},
        {"Morrico : Evasion : Reflex Save vs. Fire : *failure* : (1 + 28 = 29 vs. DC: 23)",
         "Morrico", 2, false, 1, 23},
        {"SAVE: Ash-Tusk Clan High Priest : Fort Save vs. Mind Spell : *failed* : (3 + 29 vs. DC: "
         "45)",
         "Ash-Tusk Clan High Priest", 1, false, 3, 45},
        {"Tyrmon's Assassin : Defensive Roll : Reflex Save : *success* : (15 + 20 = 35 vs. DC: 30)",
         "Tyrmon's Assassin", 2, true, 15, 30},
        {"Plane Warden : Reflex Save vs. Cold : *success* : (12 - 3 = 9 vs. DC: 8)", "Plane Warden",
         2, true, 12, 8},
    };
    for (const auto& c : cases) {
        const ParsedSave save = parser.ParseSave(Classified(c.body));
        ASSERT_FALSE(save.character.rejection) << c.body;
        EXPECT_EQ(save.character.name, c.name) << c.body;
        EXPECT_EQ(save.saveType, SaveTypeIndex(c.type)) << c.body;
        EXPECT_EQ(save.success, c.success) << c.body;
        ASSERT_TRUE(save.roll) << c.body;
        EXPECT_EQ(save.roll->roll, c.roll) << c.body;
        EXPECT_EQ(save.roll->dc, c.dc) << c.body;
    }
    EXPECT_EQ(parser.ParseSave(Classified(cases[5].body)).bonus, -3);
}

TEST_F(Parsing, NamedRecordsAndTheirRejections)
{
    struct Case {
        const char* body;
        const char* first;  // who acts; empty: discarded
        const char* second; // the spell or the victim
        const char* rejection;
    };
    const Case cases[] = {
        {"Smith Smurf casts Mage Armor", "Smith Smurf", "Mage Armor", ""},
        {"Thessaly casts unknown spell", "Thessaly", "unknown spell", ""},
        {"casts Sleep", "", "", "Invalid spell record, discarded: "},
        {"Smith Smurf killed Legendary Bear", "Smith Smurf", "Legendary Bear", ""},
        {"killed Orc", "", "", "Invalid kill record, discarded: "},
        {"Bob : Healed 10 points.", "", "", "Invalid healing record, discarded: "},
        {"Bob : Damage Resistance absorbs 5", "", "",
         "Invalid damage resistance record, discarded: "},
        {"Bob : Will Save", "", "", "Invalid save record, discarded: "},
        {"Will Save : *success* : (6 + 16 = 22)", "", "", "Invalid save record, discarded: "},
        {"Bob : Will Save : *success* : (6)", "", "", "Invalid save record, discarded: "},
    };
    for (const auto& c : cases) {
        const RecordContext record = Classified(c.body);
        Opening opening;
        std::string_view second;
        switch (record.kind) {
        case RecordKind::Casting: {
            const ParsedCasting p = parser.ParseCasting(record);
            opening = p.caster;
            second = p.spell;
            break;
        }
        case RecordKind::Kill: {
            const ParsedKill p = parser.ParseKill(record);
            opening = p.killer;
            second = p.victim;
            break;
        }
        case RecordKind::Healing:
            opening = parser.ParseHealing(record).character;
            break;
        case RecordKind::Resist:
            opening = parser.ParseAbsorb(record).character;
            break;
        default:
            opening = parser.ParseSave(record).character;
            break;
        }
        EXPECT_EQ(opening.rejection.Message(), c.rejection) << c.body;
        EXPECT_TRUE(!opening.rejection || opening.rejection.text->debugLevel == 0) << c.body;
        EXPECT_EQ(opening.name, c.first) << c.body;
        EXPECT_EQ(second, c.second) << c.body;
    }
}

TEST_F(Parsing, ExperiencePoints)
{
    struct Case {
        const char* body;
        bool found;
        int32_t points;
        bool outOfRange = false;
    };
    const Case cases[] = {
        {"Experience Points Gained:  242", true, 242},
        {"Experience Points Gained:  lots", false, 0},
        {"Experience Points Gained:", false, 0},
        {"Experience Points Gained:  99999999999", true, 0, true},
        {"Experience Points Gained:  -120", true, 0, true},
    };
    for (const auto& c : cases) {
        const ParsedExperience e = parser.ParseExperience(Classified(c.body));
        EXPECT_EQ(e.found, c.found) << c.body;
        EXPECT_EQ(e.points, c.points) << c.body;
        EXPECT_EQ(e.rejection.Message(), c.outOfRange ? "Number out of range, discarded: " : "")
            << c.body;
    }
}

// The name between two configured markers; the start marker ends where the
// name begins, whatever its last character.
TEST_F(ExampleParsing, NamesBetweenMarkers)
{
    struct Case {
        const char* start;
        const char* end;
        const char* body;
        const char* name; // empty: discarded
    };
    const Case cases[] = {
        {"", ": Initiative Roll", "Bob : Initiative Roll : 11 : (4 + 7 = 11)", "Bob"},
        {"", ": Initiative Roll", ": Initiative Roll : 11 : (4 + 7 = 11)", ""},
        {"Roll:", ": Initiative", "Roll:Bob : Initiative Roll : 5", "Bob"},
        {"<", ">", "<Bob> : Initiative Roll : 5", "Bob"},
        {"<", ">", "<B> : Initiative Roll : 5", "B"},
        {"<", "", "Roll <Bob", "Bob"},
        {"<", ">", "Bob> : Initiative Roll : 5", ""},
        {"<", ">", "<Bob : Initiative Roll : 5", ""},
        {"<", ">", "<> : Initiative Roll : 5", ""},
    };
    for (const auto& c : cases) {
        for (const RecordKind kind :
             {RecordKind::Character, RecordKind::PartyJoin, RecordKind::PartyExit}) {
            AnalysisConfig markers = config;
            LogFormat& f = markers.format;
            (kind == RecordKind::Character   ? f.charIdStart
             : kind == RecordKind::PartyJoin ? f.partyJoinStart
                                             : f.partyExitStart) = c.start;
            (kind == RecordKind::Character   ? f.charIdEnd
             : kind == RecordKind::PartyJoin ? f.partyJoinEnd
                                             : f.partyExitEnd) = c.end;
            const RecordParser withMarkers(markers);
            const RecordContext record{c.body, c.body, kind, {}, 0, DateTime()};
            const ParsedName parsed =
                kind == RecordKind::Character
                    ? withMarkers.ParseCharacter(record)
                    : withMarkers.ParsePartyChange(record, kind == RecordKind::PartyJoin);
            EXPECT_EQ(parsed.name, c.name) << c.body;
            const char* rejection =
                kind == RecordKind::Character   ? "Invalid character record, discarded: "
                : kind == RecordKind::PartyJoin ? "Invalid party join record, discarded: "
                                                : "Invalid party exit record, discarded: ";
            EXPECT_EQ(parsed.rejection.Message(), *c.name ? "" : rejection) << c.body;
        }
    }
}

} // namespace
} // namespace tarvik
