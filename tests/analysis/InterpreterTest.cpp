#include "AnalysisTestSupport.h"
#include "analysis/RecordInterpreter.h"
#include "app/Configuration.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;
using test::SessionHarness;
using Lines = std::vector<std::string>;

class Interpreter : public ::testing::Test {
protected:
    bool Run(const Lines& bodies) { return h.AnalyzeBodies(bodies); }

    const Character& C(std::string_view name)
    {
        const Character* c = h.Named(name);
        if (!c)
            ADD_FAILURE() << "no character " << name;
        static const Character none;
        return c ? *c : none;
    }

    // Marks name as the user's own character, creating it when needed.
    void MakeUser(std::string_view name)
    {
        h.S().Marks().SelectUserCharacter(tools.FindCharacter(name).ID());
        ASSERT_EQ(h.Data().userCharacterId, h.Named(name)->ID());
    }

    std::vector<int32_t> Samples(bool own) const
    {
        std::vector<int32_t> result;
        const auto& ring =
            own ? h.session->RealTime().OwnABSamples() : h.session->RealTime().EnemyABSamples();
        for (int32_t value : ring) {
            if (value != 0)
                result.push_back(value);
        }
        return result;
    }

    SessionHarness h;
    ErrorList toolErrors;
    RecordInterpreter tools{h.config,   h.Data(),      h.S().RealTime(), h.debug,
                            toolErrors, h.S().Marks(), h.S().Options(),  h.host};
};

TEST_F(Interpreter, AttackOfTheUserFeedsCountsAndAttackBonus)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Bob attacks Orc : *hit* : (14 + 8 = 22)"}));
    EXPECT_EQ(C("Bob").Attacks(), 1);
    EXPECT_EQ(C("Bob").AttackHits(), 1);
    EXPECT_EQ(C("Orc").EnemyAttacks(), 1);
    EXPECT_EQ(C("Orc").EnemyAttackHits(), 1);
    EXPECT_EQ(h.Data().recordsParsed, 1);
    EXPECT_EQ(Samples(true), std::vector<int32_t>{8});
    EXPECT_TRUE(Samples(false).empty());
    EXPECT_TRUE(h.Errors().empty());
}

TEST_F(Interpreter, LeadingDescriptionsAreDroppedWithTheResultsFirstCharacter)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Off Hand : Bob attacks Orc : *miss* : (3 + 8 = 11)",
                     // Rejoined without blanks, the result loses its "*", so "*hit*" is not found.
                     "Off Hand : Sneak Attack : Bob attacks Orc : *hit* : (3 + 9 = 12)"}));
    EXPECT_EQ(h.Data().characters.Count(), 2);
    EXPECT_EQ(C("Bob").Attacks(), 2);
    EXPECT_EQ(C("Bob").AttackHits(), 0);
    EXPECT_EQ(C("Orc").EnemyAttacks(), 2);
    EXPECT_EQ(Samples(true), (std::vector<int32_t>{8, 9}));
}

TEST_F(Interpreter, DamageCastingHealingAndKill)
{
    ASSERT_TRUE(Run({"Orc damages Bob: 12 (5 Physical 7 Fire)", "Bob casts Magic Missile",
                     "Bob : healed 10 hit points.", "Bob killed Orc"}));
    EXPECT_EQ(h.Data().recordsParsed, 4);
    const Character& orc = C("Orc");
    const Character& bob = C("Bob");
    EXPECT_EQ(orc.DamageDealt(), 12);
    EXPECT_EQ(bob.DamageReceived(), 12);
    ASSERT_EQ(orc.OutboundRecords().size(), 1u);
    const AttackRecord& record = orc.OutboundRecords()[0];
    EXPECT_EQ(record.DamageOfType(0), 5);
    EXPECT_EQ(record.DamageOfType(1), 7);
    EXPECT_EQ(record.DamageOfType(2), 0);
    EXPECT_EQ(record.DamageOfType(3), 12);
    EXPECT_EQ(bob.Spells(), 1);
    ASSERT_NE(h.Data().knownSpells.Find("Magic Missile"), nullptr);
    EXPECT_EQ(bob.HPsHealed(), 10);
    EXPECT_EQ(bob.Kills(), 1);
    EXPECT_EQ(orc.Deaths(), 1);
    // "Bob :" of the healing record is the same Bob.
    EXPECT_EQ(h.Data().characters.Count(), 2);
}

TEST(InterpreterDamage, AmountsAndTypeNames)
{
    struct Case {
        const char* body;
        std::vector<int32_t> breakdown; // Physical, Fire, Negative, Total; empty: rejected
        const char* debugLine = nullptr;
    };
    const Case cases[] = {
        {"Orc damages Bob: 12 (5 Physical 7 Fire)", {5, 7, 0, 12}},
        // A zero amount leaves its type name to join the next: "Fire Physical"
        // resolves to the type listed first, Physical.
        {"Orc damages Bob: 12 (0 Fire 7 Physical)", {7, 0, 0, 7}},
        {"Orc damages Bob: 9 (9 Negative Energy)", {0, 0, 9, 9}},
        // A later amount of the same type replaces the earlier; the total has both.
        {"Orc damages Bob: 12 (5 Fire 7 Fire)", {0, 7, 0, 12}},
        {"Orc damages Bob: 0 (0 Fire)", {0, 0, 0, 0}},
        {"Orc damages Bob: 7 fire", {0, 7, 0, 7}},
        {"Orc damages Bob: 12",
         {},
         "Analysis:  Invalid damage record:  no damage amount (cleanup)."},
        {"Orc damages Bob: 15 (5 Physical 3 Glitter 7 Fire)",
         {},
         "Analysis:  Invalid damage record:  no damage amount."},
        {"Orc damages Bob: 5 (5 Glitter)",
         {},
         "Analysis:  Invalid damage record:  no damage amount (cleanup)."},
        {"Orc damages Bob 5 Fire",
         {},
         "Analysis:  Invalid damage record:  missing deliminator ':'."},
        {"damages Bob: 5 (5 Fire)",
         {},
         "Analysis:  Invalid damage record:  missing deliminator 'damages'."},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        h.debug.SetLevel(1);
        ASSERT_TRUE(h.AnalyzeBodies({c.body})) << c.body;
        if (c.breakdown.empty()) {
            EXPECT_EQ(h.Errors(), Lines{"Invalid damage record, discarded: " + GameLine(c.body)})
                << c.body;
            EXPECT_EQ(h.Data().recordsParsed, 0) << c.body;
            EXPECT_NE(h.DebugText().find(c.debugLine), std::string::npos) << c.body;
            if (const Character* orc = h.Named("Orc")) {
                EXPECT_TRUE(orc->OutboundRecords().empty()) << c.body;
            }
            continue;
        }
        EXPECT_TRUE(h.Errors().empty()) << c.body;
        EXPECT_EQ(h.Data().recordsParsed, 1) << c.body;
        const Character* orc = h.Named("Orc");
        ASSERT_NE(orc, nullptr);
        ASSERT_EQ(orc->OutboundRecords().size(), 1u) << c.body;
        const AttackRecord& record = orc->OutboundRecords()[0];
        std::vector<int32_t> sums;
        for (size_t t = 0; t < 4; ++t)
            sums.push_back(record.DamageOfType(t));
        EXPECT_EQ(sums, c.breakdown) << c.body;
        EXPECT_EQ(orc->DamageDealt(), c.breakdown.back()) << c.body;
    }
}

TEST_F(Interpreter, DamageFeedsRollingRecordsOnlyWhileMonitoring)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Bob damages Orc: 5 (5 Fire)", "Orc damages Bob: 3 (3 Physical)"}));
    EXPECT_TRUE(h.S().RealTime().OwnAttackRecords().empty());
    EXPECT_FALSE(h.Data().realTimeDataChanged);

    h.S().SetMonitoringEnabled(true);
    ASSERT_TRUE(Run({"Bob damages Orc: 5 (5 Fire)", "Orc damages Bob: 3 (3 Physical)",
                     "Orc damages Rat: 4 (4 Fire)"}));
    ASSERT_EQ(h.S().RealTime().OwnAttackRecords().size(), 1u);
    EXPECT_EQ(h.S().RealTime().OwnAttackRecords()[0].TotalDamage(), 5);
    ASSERT_EQ(h.S().RealTime().EnemyAttackRecords().size(), 1u);
    EXPECT_EQ(h.S().RealTime().EnemyAttackRecords()[0].TotalDamage(), 3);
    EXPECT_TRUE(h.Data().realTimeDataChanged);
}

// Amounts that are no numbers, and sums beyond 32 bits, end the whole read.
TEST(InterpreterSeriousErrors, EndTheReadWithTheErrorLine)
{
    struct Case {
        Lines bodies;
        const char* failing;
        const char* error;
    };
    const Case cases[] = {
        {{"Bob : healed lots hit points."}, "Bob : healed lots hit points.", "13 - Type mismatch"},
        {{"Bob : Damage Resistance absorbs many damage"},
         "Bob : Damage Resistance absorbs many damage",
         "13 - Type mismatch"},
        {{"Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)"},
         "Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)",
         "13 - Type mismatch"},
        {{"Bob : healed 99999999999 hit points."},
         "Bob : healed 99999999999 hit points.",
         "6 - Overflow"},
        {{"Orc damages Bob: 1 (2000000000 Physical 2000000000 Fire)"},
         "Orc damages Bob: 1 (2000000000 Physical 2000000000 Fire)",
         "6 - Overflow"},
        {{"Experience Points Gained:  2000000000", "Experience Points Gained:  2000000000"},
         "Experience Points Gained:  2000000000",
         "6 - Overflow"},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        Lines lines;
        for (const auto& body : c.bodies)
            lines.push_back(GameLine(body));
        lines.push_back(GameLine("Bob killed Orc")); // never reached
        const std::string path = h.Write("bad log.txt", lines);
        int64_t position = 0;
        EXPECT_FALSE(h.S().AnalyzeLog(path, &position)) << c.failing;
        EXPECT_EQ(position, 0) << c.failing;
        ASSERT_FALSE(h.Errors().empty());
        EXPECT_EQ(h.Errors().back(), std::string(">> ERROR:  current file [bad log.txt], current "
                                                 "record [") +
                                         c.failing + "], error " + c.error + ".");
        EXPECT_EQ(h.host.seriousErrors, Lines{Session::SeriousErrorMessage()});
        EXPECT_EQ(h.host.tabs, std::vector<MainTab>{MainTab::Errors});
        EXPECT_TRUE(h.host.recordDates.empty()) << "dates are not shown after a failure";
        EXPECT_EQ(h.host.monitoringStops, 0);
        const Character* bob = h.Named("Bob");
        EXPECT_TRUE(bob == nullptr || bob->Kills() == 0) << c.failing;
    }
}

TEST(InterpreterSeriousErrors, MessageBoxText)
{
    EXPECT_EQ(Session::SeriousErrorMessage(),
              "A serious error occurred during the log analysis.\n"
              "Please save the error log and email it to the developer: "
              "support@tarvik.example.org\n"
              "If possible, please zip up the NWN log and attach it to the email as well.\n\n"
              "NOTE:  Log monitoring has been disabled.  No new data will be analyzed.");
}

TEST_F(Interpreter, SeriousErrorWhileMonitoringStopsMonitoring)
{
    h.S().SetMonitoringEnabled(true);
    EXPECT_FALSE(Run({"Bob : healed lots hit points."}));
    EXPECT_EQ(h.host.monitoringStops, 1);
}

TEST_F(Interpreter, AttacksThatCannotBeTakenApart)
{
    MakeUser("Bob");
    h.S().RealTime().SetLastConcealment(40);
    ASSERT_TRUE(Run({"attacks Orc : *target concealed: 50%* : (1 + 5 = 6)", "Bob attacks Orc"}));
    EXPECT_EQ(h.Errors(),
              (Lines{"Invalid attack record, discarded: " +
                         GameLine("attacks Orc : *target concealed: 50%* : (1 + 5 = 6)"),
                     "Custom attack record, discarded: " + GameLine("Bob attacks Orc")}));
    EXPECT_EQ(h.Data().recordsParsed, 0);
    EXPECT_EQ(h.S().RealTime().LastConcealment(), 40);
    EXPECT_TRUE(Samples(true).empty());
    EXPECT_EQ(C("Bob").Attacks(), 0);
    EXPECT_EQ(h.Named("Orc"), nullptr);
}

TEST(InterpreterAttack, ConcealmentOfTheUsersTarget)
{
    struct Case {
        const char* body;
        int32_t expected;
    };
    const Case cases[] = {
        {"Bob attacks Orc : *hit* : (1 + 5 = 6)", 0},
        {"Bob attacks Orc : *target concealed: 50%* : (1 + 5 = 6)", 50},
        {"Bob attacks Orc : *target concealed: lots%* : (1 + 5 = 6)", 40},
        {"Orc attacks Bob : *target concealed: 50%* : (1 + 5 = 6)", 40},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({"Bob killed Rat"}));
        h.S().Marks().SelectUserCharacter(1);
        h.S().RealTime().SetLastConcealment(40);
        h.Data().realTimeDataChanged = false;
        ASSERT_TRUE(h.AnalyzeBodies({c.body}));
        EXPECT_EQ(h.S().RealTime().LastConcealment(), c.expected) << c.body;
        EXPECT_EQ(h.Data().realTimeDataChanged, c.expected != 40) << c.body;
    }
}

TEST(InterpreterAttack, AttackBonusSamples)
{
    struct Case {
        const char* body;
        std::vector<int32_t> own;
        std::vector<int32_t> enemy;
    };
    const Case cases[] = {
        {"Bob attacks Orc : *hit* : (14 + 8 = 22)", {8}, {}},
        {"Orc attacks Bob : *hit* : (14 + 9 = 23)", {}, {9}},
        {"Bob attacks Orc : *critical hit* : (20 + 24 = 44 : Threat Roll: 14 + 24 = 38)", {24}, {}},
        {"Bob attacks Orc : *hit* : (14 + 0 = 14)", {}, {}},
        {"Bob attacks Orc : *hit* : (14 + x = 14)", {}, {}},
        {"Bob attacks Orc : *hit* : (14 + 8)", {}, {}},
        {"Rat attacks Orc : *hit* : (14 + 8 = 22)", {}, {}},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({"Bob killed Nobody"}));
        h.S().Marks().SelectUserCharacter(1);
        ASSERT_TRUE(h.AnalyzeBodies({c.body}));
        EXPECT_EQ(h.Data().recordsParsed, 2) << c.body;
        std::vector<int32_t> own, enemy;
        for (int32_t v : h.S().RealTime().OwnABSamples()) {
            if (v)
                own.push_back(v);
        }
        for (int32_t v : h.S().RealTime().EnemyABSamples()) {
            if (v)
                enemy.push_back(v);
        }
        EXPECT_EQ(own, c.own) << c.body;
        EXPECT_EQ(enemy, c.enemy) << c.body;
    }
}

TEST(InterpreterRecords, SavesResistsAndHealing)
{
    struct Case {
        const char* body;
        const char* rejection; // nullptr: accepted
        int32_t attempts = 0, successes = 0, resisted = 0, healed = 0;
    };
    const Case cases[] = {
        {"Bob : Fortitude Save vs. Disease : *failure* : (1 + 16 = 17 vs. DC: 13)", nullptr, 1, 0,
         0, 0},
        {"Bob : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)", nullptr, 1, 1, 0, 0},
        {"Bob : Evasion : Reflex Save vs. Fire : *success* : (1 + 28 = 29 vs. DC: 23)", nullptr, 1,
         1, 0, 0},
        {"Bob : Will Save", "Invalid save record, discarded: "},
        {"Bob : Will Save : *success* : (6)", "Invalid save record, discarded: "},
        {"Will Save : *success* : (6 + 16 = 22)", "Invalid save record, discarded: "},
        {"Bob : Damage Resistance absorbs 5 damage", nullptr, 0, 0, 5, 0},
        {"Bob : Damage Resistance absorbs 5", "Invalid damage resistance record, discarded: "},
        {"Bob: Healed 15 hit points.", nullptr, 0, 0, 0, 15},
        {"Bob : healed 10 points.", "Invalid healing record, discarded: "},
        {"healed 10 hit points.", "Invalid healing record, discarded: "},
        {"killed Orc", "Invalid kill record, discarded: "},
        {"casts Sleep", "Invalid spell record, discarded: "},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({c.body})) << c.body;
        if (c.rejection) {
            EXPECT_EQ(h.Errors(), Lines{c.rejection + GameLine(c.body)});
            EXPECT_EQ(h.Data().recordsParsed, 0) << c.body;
            continue;
        }
        EXPECT_TRUE(h.Errors().empty()) << c.body;
        EXPECT_EQ(h.Data().recordsParsed, 1) << c.body;
        ASSERT_EQ(h.Data().characters.Count(), 1) << c.body;
        const Character& bob = *h.Named("Bob");
        EXPECT_EQ(bob.SaveAttempts(), c.attempts) << c.body;
        EXPECT_EQ(bob.SaveSuccesses(), c.successes) << c.body;
        EXPECT_EQ(bob.HPsResisted(), c.resisted) << c.body;
        EXPECT_EQ(bob.Resists(), c.resisted > 0 ? 1 : 0) << c.body;
        EXPECT_EQ(bob.HPsHealed(), c.healed) << c.body;
    }
}

TEST_F(Interpreter, FugueTimerOnlyForTheUsersDeathWhileMonitoring)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Orc killed Bob"}));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 0u);
    EXPECT_EQ(C("Bob").Deaths(), 1);
    EXPECT_EQ(C("Orc").Kills(), 1);

    h.S().SetMonitoringEnabled(true);
    ASSERT_TRUE(Run({"Orc killed Rat", "Orc killed Bob"}));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 1u);
    EXPECT_EQ(C("Bob").Deaths(), 2);
}

TEST_F(Interpreter, ExperienceIsSummedButNotCountedAsRecord)
{
    ASSERT_TRUE(Run({"Experience Points Gained:  242", "Experience Points Gained:  lots",
                     "Experience Points Gained:  100"}));
    EXPECT_EQ(h.Data().experienceTotal, 342);
    EXPECT_EQ(h.Data().recordsParsed, 0);
    EXPECT_TRUE(h.Data().realTimeDataChanged);
    EXPECT_TRUE(h.Errors().empty());
    EXPECT_EQ(h.Data().characters.Count(), 0);
}

TEST_F(Interpreter, AutodetectMarksTheUserAndTheParty)
{
    const Lines records = {"Bob : Initiative Roll : 11 : (4 + 7 = 11)",
                           "Alice has joined the party.", "Carl has left the party."};
    ASSERT_TRUE(Run(records));
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_EQ(h.Data().partyMemberCount, 0);

    h.S().Options().autodetectParty = true;
    ASSERT_TRUE(Run(records));
    const int32_t bob = C("Bob").ID();
    EXPECT_EQ(h.Data().userCharacterId, bob);
    EXPECT_TRUE(C("Bob").IsPartyMember());
    EXPECT_TRUE(C("Alice").IsPartyMember());
    EXPECT_FALSE(C("Carl").IsPartyMember()); // leaving without having joined changes nothing
    EXPECT_EQ(h.Data().partyMemberCount, 2);

    // A second identification or join changes nothing.
    ASSERT_TRUE(Run({"Bob : Initiative Roll : 9 : (2 + 7 = 9)", "Alice has joined the party."}));
    EXPECT_EQ(h.Data().userCharacterId, bob);
    EXPECT_TRUE(C("Alice").IsPartyMember());
    EXPECT_EQ(h.Data().partyMemberCount, 2);

    ASSERT_TRUE(Run({"Bob has left the party."}));
    EXPECT_FALSE(C("Bob").IsPartyMember());
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_EQ(h.Data().partyMemberCount, 1);

    ASSERT_TRUE(Run(
        {": Initiative Roll : 5 : (1 + 4 = 5)", "has joined the party.", "has left the party."}));
    EXPECT_EQ(h.Errors(),
              (Lines{"Invalid character record, discarded: " +
                         GameLine(": Initiative Roll : 5 : (1 + 4 = 5)"),
                     "Invalid party join record, discarded: " + GameLine("has joined the party."),
                     "Invalid party exit record, discarded: " + GameLine("has left the party.")}));
}

TEST_F(Interpreter, ChatAndUnknownKinds)
{
    ASSERT_TRUE(Run(
        {"Bob: [Party] Bob attacks Orc : *hit* : (1 + 2 = 3)", "Bob waves at Orc", "Resting."}));
    EXPECT_EQ(h.Data().characters.Count(), 0);
    EXPECT_EQ(h.Data().recordsParsed, 0);
    // Only the type with an unknown kind name is reported.
    EXPECT_EQ(h.Errors(), Lines{"Unknown record type, discarded: " + GameLine("Bob waves at Orc")});
}

TEST_F(Interpreter, DetailCharacterChangesAreNoted)
{
    ASSERT_TRUE(Run({"Bob killed Orc", "Rat killed Cat"}));
    h.Data().detailCharacterId = C("Orc").ID();
    h.Data().detailCharacterChanged = false;
    ASSERT_TRUE(Run({"Rat casts Sleep", "Rat damages Cat: 5 (5 Fire)"}));
    EXPECT_FALSE(h.Data().detailCharacterChanged);
    ASSERT_TRUE(Run({"Rat damages Orc: 5 (5 Fire)"}));
    EXPECT_TRUE(h.Data().detailCharacterChanged);
}

TEST_F(Interpreter, SplitRecord)
{
    struct Case {
        const char* text;
        const char* separator;
        bool ok;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"Bob attacks Orc : *hit*", "attacks", true, "Bob", "Orc : *hit*"},
        {"Bob ATTACKS Orc", "attacks", true, "Bob", "Orc"},
        // The character after the separator is skipped, a letter too.
        {"Bob:Orc", ":", true, "Bob", "rc"},
        {":Bob", ":", false, "", ""},
        {"Bob:", ":", false, "", ""},
        {"Bob Orc", ":", false, "", ""},
    };
    for (const auto& c : cases) {
        std::string_view left = "unchanged", right = "unchanged";
        EXPECT_EQ(tools.SplitRecord(c.text, c.separator, left, right), c.ok) << c.text;
        EXPECT_EQ(left, c.ok ? c.left : "unchanged") << c.text;
        EXPECT_EQ(right, c.ok ? c.right : "unchanged") << c.text;
    }
}

TEST(InterpreterTools, ExtractBetween)
{
    struct Case {
        const char* text;
        const char* start;
        const char* end;
        const char* expected;
    };
    const Case cases[] = {
        {"Bob has joined the party.", "", "has joined the party", "Bob "},
        {"name [Bob] here", "[", "]", "Bob"},
        {"name [Bob here", "[", "]", ""},
        {"name Bob] here", "[", "]", ""},
        {"tail: Bob", ":", "", " Bob"},
        // The end marker is searched from the start of the text.
        {"a] [b]", "[", "]", ""},
        {"[]", "[", "]", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordInterpreter::ExtractBetween(c.text, c.start, c.end), c.expected) << c.text;
}

TEST_F(Interpreter, TypeLookups)
{
    EXPECT_EQ(tools.GetDamageType("Physical"), 1);
    EXPECT_EQ(tools.GetDamageType("FIRE"), 2);
    EXPECT_EQ(tools.GetDamageType("Negative Energy"), 3);
    EXPECT_EQ(tools.GetDamageType("Fire Physical"), 1);
    EXPECT_EQ(tools.GetDamageType("Total"), 4);
    EXPECT_EQ(tools.GetDamageType("Glitter"), 0);
    EXPECT_EQ(tools.GetDamageType(""), 0);
    EXPECT_EQ(tools.GetSaveType("will save"), 3);
    EXPECT_EQ(tools.GetSaveType("fortitude save"), 1);
    EXPECT_EQ(tools.GetSaveType("fort save"), 0);
}

TEST_F(Interpreter, NamesDifferingInCaseAreOneCharacter)
{
    ASSERT_TRUE(Run({"bob attacks Orc : *hit* : (1 + 2 = 3)",
                     "BOB attacks ORC : *hit* : (1 + 2 = 3)", "  Bob  killed orc"}));
    ASSERT_EQ(h.Data().characters.Count(), 2);
    EXPECT_EQ(h.Data().characters.At(1)->Name(), "bob");
    EXPECT_EQ(h.Data().characters.At(2)->Name(), "Orc");
    EXPECT_EQ(C("Bob").Attacks(), 2);
    EXPECT_EQ(C("orc").Deaths(), 1);
    EXPECT_EQ(h.host.charactersCreated, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(&tools.FindCharacter("", 2), h.Named("Orc"));
}

// Real-looking lines through the configuration that ships with the program.
TEST(InterpreterShippedConfiguration, RealLines)
{
    const ConfigurationResult loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;
    SessionHarness h(loaded.configuration->analysis);
    h.S().Options().autodetectParty = true;
    ASSERT_TRUE(h.AnalyzeBodies({
        "Drogo : Initiative Roll : 11 : (4 + 7 = 11)",
        "Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
        "Drogo attacks Duergar Veteran : *critical hit* : (20 + 24 = 44 : Threat Roll: 14 + 24 = "
        "38)",
        "Duergar Veteran attacks Drogo : *miss* : (14 + 27 = 41)",
        "Attack Of Opportunity : Expertise : Drogo attacks Duergar Veteran : *critical hit* : (11 "
        "+ 34 = 45 : Threat Roll: 8 + 34 = 42)",
        "Durga attempts Improved Knockdown on Duergar Veteran : *resisted* : (2 + 25 = 27)",
        "Drogo damages Duergar Veteran: 61 (52 Physical 9 Magical 0 Acid)",
        "Duergar Veteran damages Drogo: 9 (9 Negative Energy)",
        "Drogo casting Mage Armor",
        "Drogo casts Mage Armor",
        "Greg the Nasty : Healed 15 hit points.",
        "Drogo : Damage Immunity absorbs 1 point(s) of Physical",
        "Drogo : Fortitude Save vs. Disease : *failure* : (1 + 16 = 17 vs. DC: 13)",
        "SAVE: Drogo : Fort Save vs. Mind Spell : *success* : (3 + 29 vs. DC: 45)",
        "Experience Points Gained:  242",
        "Drogo killed Duergar Veteran",
        "Drogo: [Party] Drogo attacks everyone",
        "Duergar Veteran : Immune to Sneak Attacks.",
        "Greg the Nasty has joined the party.",
    }));
    EXPECT_TRUE(h.Errors().empty()) << h.Errors().front();
    const Character& drogo = *h.Named("Drogo");
    const Character& duergar = *h.Named("Duergar Veteran");
    EXPECT_EQ(h.Data().userCharacterId, drogo.ID());
    EXPECT_EQ(drogo.Attacks(), 3);
    EXPECT_EQ(drogo.AttackHits(), 3); // "hit*" also finds "*critical hit*"
    EXPECT_EQ(drogo.EnemyAttacks(), 1);
    EXPECT_EQ(drogo.EnemyAttackHits(), 0);
    EXPECT_EQ(h.Named("Durga")->Attacks(), 1);
    EXPECT_EQ(duergar.EnemyAttacks(), 4);
    EXPECT_EQ(drogo.DamageDealt(), 61);
    EXPECT_EQ(drogo.DamageReceived(), 9);
    EXPECT_EQ(drogo.Spells(), 1);
    EXPECT_EQ(h.Named("Greg the Nasty")->HPsHealed(), 15);
    EXPECT_TRUE(h.Named("Greg the Nasty")->IsPartyMember());
    EXPECT_EQ(drogo.HPsResisted(), 1);
    EXPECT_EQ(drogo.SaveAttempts(), 1);
    // The "SAVE:" prefix stands where the name is expected.
    EXPECT_EQ(h.Named("SAVE")->SaveSuccesses(), 1);
    EXPECT_EQ(h.Data().experienceTotal, 242);
    EXPECT_EQ(drogo.Kills(), 1);
    int32_t own = 0, enemy = 0;
    h.S().RealTime().GetAverageAB(own, enemy);
    EXPECT_EQ(own, (19 + 24 + 34) / 3);
    EXPECT_EQ(enemy, 27);
    // 5 attacks, 2 damages, 1 cast, heal, resist, 2 saves, kill.
    EXPECT_EQ(h.Data().recordsParsed, 13);
}

} // namespace
} // namespace tarvik
