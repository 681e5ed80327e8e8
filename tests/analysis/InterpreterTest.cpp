#include "AnalysisTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;
using test::SessionHarness;
using Lines = std::vector<std::string>;
using Ints = std::vector<int32_t>;

class Interpreter : public ::testing::Test {
protected:
    bool Run(const Lines& bodies, std::string_view stamp = "Wed Jun 04 23:27:01")
    {
        return h.AnalyzeBodies(bodies, stamp);
    }

    const Character& C(std::string_view name)
    {
        const Character* c = h.Named(name);
        if (!c)
            ADD_FAILURE() << "no character " << name;
        static const Character none;
        return c ? *c : none;
    }

    // Marks name as the user's own character, met in a spell record first.
    void MakeUser(const std::string& name)
    {
        ASSERT_TRUE(Run({name + " casts Sleep"}));
        h.S().Marks().SelectUserCharacter(C(name).ID());
    }

    SessionHarness h;
};

TEST(InterpreterDamage, AmountsAndTypeNames)
{
    struct Case {
        const char* body;
        Ints breakdown; // Physical, Fire, Negative, Total; empty: rejected
    };
    const Case cases[] = {
        {"Orc damages Bob: 12 (5 Physical 7 Fire)", {5, 7, 0, 12}},
        // A zero amount goes with its own type name; the next keeps its own.
        {"Orc damages Bob: 61 (0 Physical 61 Fire)", {0, 61, 0, 61}},
        // The rest of the shapes are the parser's.
        // Amounts of one type add up, so the total is the sum of the types.
        {"Orc damages Bob: 12 (5 Fire 7 Fire)", {0, 12, 0, 12}},
        {"Orc damages Bob: 7 fire", {0, 7, 0, 7}},
        {"Orc damages Bob: 12", {}},
        {"Orc damages Bob 5 Fire", {}},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({c.body})) << c.body;
        const Character* orc = h.Named("Orc");
        if (c.breakdown.empty()) {
            EXPECT_EQ(h.Errors(),
                      Lines{"records.txt: Invalid damage record, discarded: " + GameLine(c.body)});
            EXPECT_EQ(h.Data().recordsParsed, 0) << c.body;
            EXPECT_TRUE(!orc || orc->OutboundRecords().empty()) << c.body;
            continue;
        }
        EXPECT_TRUE(h.Errors().empty()) << c.body;
        ASSERT_NE(orc, nullptr);
        ASSERT_EQ(orc->OutboundRecords().size(), 1u) << c.body;
        Ints sums;
        for (size_t t = 0; t < 4; ++t)
            sums.push_back(orc->OutboundRecords()[0].DamageOfType(DamageTypeIndex::FromSlot(t)));
        EXPECT_EQ(sums, c.breakdown) << c.body;
        EXPECT_EQ(orc->DamageDealt(), c.breakdown.back()) << c.body;
    }
}

// Amounts that are no numbers end the whole read; a healing amount that is
// no number is tests/golden/fixtures/broken.txt.
TEST(InterpreterSeriousErrors, EndTheReadWithTheErrorLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Bob : Damage Resistance absorbs many damage", "13 - Type mismatch"},
        {"Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)", "13 - Type mismatch"},
    };
    for (const auto& [failing, error] : cases) {
        SessionHarness h;
        const Lines lines = {GameLine(failing), GameLine("Bob killed Orc")}; // never reached
        int64_t position = 0;
        EXPECT_FALSE(h.S().AnalyzeLog(h.Write("bad log.txt", lines), &position)) << failing;
        EXPECT_EQ(position, 0) << failing;
        ASSERT_FALSE(h.Errors().empty());
        EXPECT_EQ(h.Errors().back(), std::string(">> ERROR:  current file [bad log.txt], current "
                                                 "record [") +
                                         failing + "], error " + error + ".");
        EXPECT_EQ(h.host.seriousErrors.size(), 1u) << failing;
        EXPECT_EQ(h.host.errorsShown, 1);
        EXPECT_TRUE(h.host.recordDates.empty()) << "dates are not shown after a failure";
        EXPECT_EQ(h.host.monitoringStops, 0);
        const Character* bob = h.Named("Bob");
        EXPECT_TRUE(bob == nullptr || bob->Kills() == 0) << failing;
    }

    SessionHarness monitored;
    monitored.S().SetMonitoringEnabled(true);
    EXPECT_FALSE(monitored.AnalyzeBodies({"Bob : healed lots hit points."}));
    EXPECT_EQ(monitored.host.monitoringStops, 1);
}

// An amount that is negative or does not fit the model's 32 bits discards
// its line alone: it is listed with the line, the lines after it are
// analysed, and nothing it says is counted.
TEST(InterpreterNumbers, OutOfRangeOrNegativeAmountsDiscardTheirLineAlone)
{
    // Some of each kind; which amounts are out of range is the parser's test.
    const char* const bad[] = {
        "Orc damages Bob: 4000000000 (2000000000 Fire 2000000000 Fire)",
        "Orc damages Bob: -5 (-5 Fire)",
        "Bob : healed -5 hit points.",
        "Bob : Damage Resistance absorbs -3 damage",
        "Experience Points Gained:  -120",
        "Bob : Will Save : *failure* : (1 - 99999999999 = 0 vs. DC: 15)",
    };
    const Lines before = {"Orc damages Bob: 12 (5 Physical 7 Fire)", "Bob : healed 4 hit points.",
                          "Bob : Damage Resistance absorbs 3 damage",
                          "Bob : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)",
                          "Experience Points Gained:  100"};
    const Lines after = {"Bob killed Orc", "Orc damages Bob: 2 (2 Fire)",
                         "Bob : Will Save : *failure* : (3 - 2 = 1 vs. DC: 15)",
                         "Experience Points Gained:  50"};
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        SessionHarness h;
        Lines bodies = before;
        bodies.push_back(line);
        bodies.insert(bodies.end(), after.begin(), after.end());
        ASSERT_TRUE(h.AnalyzeBodies(bodies));
        EXPECT_TRUE(h.host.seriousErrors.empty());
        EXPECT_EQ(h.Errors(),
                  Lines{"records.txt: Number out of range, discarded: " + GameLine(line)});
        // Damage, healing, absorb, two saves, kill, damage; experience is not counted.
        EXPECT_EQ(h.Data().recordsParsed, 7);
        EXPECT_EQ(h.Data().experienceTotal, 150);
        const Character* bob = h.Named("Bob");
        const Character* orc = h.Named("Orc");
        ASSERT_TRUE(bob && orc);
        EXPECT_EQ(h.Data().characters.Count(), 2);
        EXPECT_EQ(bob->DamageReceived(), 14);
        EXPECT_EQ(orc->DamageDealt(), 14);
        ASSERT_EQ(orc->OutboundRecords().size(), 1u);
        EXPECT_EQ(orc->OutboundRecords()[0].NumberAttacks(), 2);
        EXPECT_EQ(orc->OutboundRecords()[0].DamageOfType(DamageTypeIndex(1)), 9);
        EXPECT_EQ(bob->HPsHealed(), 4);
        EXPECT_EQ(bob->Resists(), 1);
        EXPECT_EQ(bob->HPsResisted(), 3);
        EXPECT_EQ(bob->SaveAttempts(), 2);
        EXPECT_EQ(bob->SaveSuccesses(), 1);
        EXPECT_EQ(bob->Kills(), 1);
    }
}

// Totals are 64-bit: hit points and experience past 32 bits are kept
// whole, never wrapped, and the read goes on.
TEST(InterpreterNumbers, TotalsGrowPastThirtyTwoBits)
{
    const int64_t twoBillion = 2'000'000'000;
    Lines bodies;
    for (int i = 0; i < 3; ++i) {
        bodies.push_back("Orc damages Bob: 2000000000 (2000000000 Fire)");
        bodies.push_back("Bob : healed 2000000000 hit points.");
        bodies.push_back("Bob : Damage Resistance absorbs 2000000000 damage");
        bodies.push_back("Experience Points Gained:  2000000000");
    }
    bodies.push_back("Bob killed Orc");
    SessionHarness h;
    ASSERT_TRUE(h.AnalyzeBodies(bodies));
    EXPECT_TRUE(h.Errors().empty());
    const Character* bob = h.Named("Bob");
    const Character* orc = h.Named("Orc");
    ASSERT_TRUE(bob && orc);
    EXPECT_EQ(orc->DamageDealt(), 3 * twoBillion);
    EXPECT_EQ(bob->DamageReceived(), 3 * twoBillion);
    ASSERT_EQ(orc->OutboundRecords().size(), 1u);
    const AttackRecord& pairing = orc->OutboundRecords()[0];
    EXPECT_EQ(pairing.TotalDamage(), 3 * twoBillion);
    EXPECT_EQ(pairing.DamageOfType(DamageTypeIndex(1)), 3 * twoBillion);
    EXPECT_EQ(pairing.AverageDamage(), twoBillion);
    EXPECT_EQ(bob->HPsHealed(), 3 * twoBillion);
    EXPECT_EQ(bob->HPsResisted(), 3 * twoBillion);
    EXPECT_EQ(h.Data().experienceTotal, 3 * twoBillion);
    EXPECT_EQ(bob->Kills(), 1);
}

// Only the user's own attacks report concealment and attack bonus.
TEST(InterpreterAttack, ConcealmentAndAttackBonusSamples)
{
    struct Case {
        const char* body;
        int32_t concealment;
        Ints own, enemy;
    };
    const Case cases[] = {
        {"Bob attacks Orc : *target concealed: 50%* : (1 + 5 = 6)", 50, {5}, {}},
        {"Bob attacks Orc : *target concealed: lots%* : (1 + 5 = 6)", 40, {5}, {}},
        {"Orc attacks Bob : *target concealed: 50%* : (1 + 9 = 10)", 40, {}, {9}},
        {"Bob attacks Orc : *critical hit* : (20 + 24 = 44 : Threat Roll: 14 + 24 = 38)",
         0,
         {24},
         {}},
        {"Bob attacks Orc : *hit* : (14 + 0 = 14)", 0, {}, {}},
        {"Bob attacks Orc : *hit* : (14 + 8)", 0, {}, {}},
        {"Rat attacks Orc : *target concealed: 50%* : (14 + 8 = 22)", 40, {}, {}},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({"Bob killed Nobody"}));
        h.S().Marks().SelectUserCharacter(CharacterId(1));
        h.S().RealTime().SetLastConcealment(40);
        h.host.realTimeChanges = 0;
        ASSERT_TRUE(h.AnalyzeBodies({c.body}));
        EXPECT_EQ(h.Data().recordsParsed, 2) << c.body;
        EXPECT_EQ(h.S().RealTime().LastConcealment(), c.concealment) << c.body;
        EXPECT_EQ(h.host.realTimeChanges, c.concealment != 40 ? 1 : 0) << c.body;
        EXPECT_EQ(h.Samples(true), c.own) << c.body;
        EXPECT_EQ(h.Samples(false), c.enemy) << c.body;
    }
}

TEST(InterpreterRecords, RejectionsNameTheRecordKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Bob : Will Save", "Invalid save record"},
        {"Bob : healed 10 points.", "Invalid healing record"},
        {"attacks Orc : *hit* : (1 + 5 = 6)", "Invalid attack record"},
        {"Bob attacks Orc", "Custom attack record"},
        {": Initiative Roll : 5 : (1 + 4 = 5)", "Invalid character record"},
        {"has joined the party.", "Invalid party join record"},
        {"Bob waves at Orc", "Unknown record type"},
    };
    for (const auto& [body, rejection] : cases) {
        SessionHarness h;
        h.S().Options().autodetectParty = true;
        ASSERT_TRUE(h.AnalyzeBodies({body})) << body;
        EXPECT_EQ(h.Errors(), Lines{"records.txt: " + std::string(rejection) +
                                    ", discarded: " + GameLine(body)});
        EXPECT_EQ(h.Data().recordsParsed, 0) << body;
    }
}

// A record's names are found step by step: a name met before a later step
// discards the record stays, with the ID it got.
TEST(InterpreterRecords, NamesMetBeforeTheRecordIsDiscardedStay)
{
    struct Case {
        const char* body;
        Lines names; // by ID
        bool readEnds = false;
        int32_t counted = 0; // a record is counted before its amounts are read
    };
    const Case cases[] = {
        {"attacks Orc : *hit* : (1 + 5 = 6)", {}},
        {"Bob attacks Orc", {"Bob"}},
        {"damages Bob: 5 (5 Fire)", {}},
        {"Orc damages Bob 5 Fire", {"Orc"}},
        {"Orc damages Bob: 12", {"Orc", "Bob"}},
        {"Bob : healed 10 points.", {}},
        {"Bob : healed lots hit points.", {"Bob"}, true, 1},
        {"Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)", {"Bob"}, true, 1},
        // Damage is counted once its amounts fit; amounts out of range leave
        // the names found before them.
        {"Orc damages Bob: 1 (2000000000 Physical 2000000000 Fire)", {"Orc", "Bob"}},
        {"Bob : healed 99999999999 hit points.", {}},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        EXPECT_EQ(h.AnalyzeBodies({c.body}), !c.readEnds) << c.body;
        Lines names;
        for (const auto& character : h.Data().characters)
            names.push_back(character->Name());
        EXPECT_EQ(names, c.names) << c.body;
        EXPECT_EQ(h.Data().recordsParsed, c.counted) << c.body;
    }
}

// Each step is told as it is taken, so the debug log shows where a record
// was given up.
TEST(InterpreterRecords, DebugLogTellsTheStepsInOrder)
{
    SessionHarness h;
    h.debug.SetLevel(DebugLog::MaxLevel);
    const std::string save = "Bob : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)";
    ASSERT_TRUE(h.AnalyzeBodies({"Bob attacks Orc", "Orc damages Bob: 12", save}));
    const auto counted = [](int32_t line, const std::string& text) {
        return DebugLog::CounterPrefix(line) + text;
    };
    const Lines expected = {
        counted(1, "Analysis:  Attack record detected."),
        counted(1, "[Bob attacks Orc] split to [Bob] and [Orc]."),
        "Creating new character: [Bob].",
        counted(1, "[Orc] could not be split."),
        counted(1, "Analysis:  custom attack record discarded."),
        counted(2, "Analysis:  Damage record detected."),
        counted(2, "[Orc damages Bob: 12] split to [Orc] and [Bob: 12]."),
        "Creating new character: [Orc].",
        counted(2, "[Bob: 12] split to [Bob] and [12]."),
        "Found character [Bob].",
        "DamageType returned:0.",
        counted(2, "Analysis:  Invalid damage record:  no damage amount (cleanup)."),
        counted(3, "Analysis:  Save record detected."),
        counted(3, "[" + save + "] split to [Bob] and [" + save.substr(6) + "]."),
        "Found character [Bob].",
        "SaveType returned: 3.",
    };
    std::ifstream in(h.logFile.FileName(), std::ios::binary);
    Lines told;
    std::string line;
    while (std::getline(in, line)) {
        // After the time stamp; the reader's own lines are left out.
        const size_t text = line.find("]  ");
        line = text == std::string::npos ? line : line.substr(text + 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool reader = line.find("Record read:") != std::string::npos ||
                            line.starts_with("\t") || line.find("Analysis:  Log [") == 0;
        if (!reader && (line.starts_with("(") || !told.empty()))
            told.push_back(line);
    }
    ASSERT_GE(told.size(), expected.size());
    told.resize(expected.size());
    EXPECT_EQ(told, expected);
}

// What a read changed is told once, at its end: each character whose
// statistics grew, and whether the HUD's figures changed.
TEST_F(Interpreter, ChangesAreToldToTheHostOncePerRead)
{
    MakeUser("Bob"); // a spell: Bob changed
    ASSERT_EQ(h.host.changedCharacters, std::vector<Ints>{{1}});
    EXPECT_EQ(h.host.realTimeChanges, 0);

    h.host.changedCharacters.clear();
    ASSERT_TRUE(Run({"Bob attacks Orc : *hit* : (1 + 5 = 6)", "Orc killed Rat", "Bob attacks Orc",
                     "Experience Points Gained:  50", "Bob casts Sleep"}));
    EXPECT_EQ(h.host.changedCharacters, (std::vector<Ints>{{1, 2, 3}}));
    // Bob's own attack told its concealment; the experience changed too.
    EXPECT_EQ(h.host.realTimeChanges, 1);

    // Nothing recorded, nothing told.
    h.host.changedCharacters.clear();
    ASSERT_TRUE(Run({"Bob attacks Orc", "Bob waves at Orc"}));
    EXPECT_TRUE(h.host.changedCharacters.empty());
    EXPECT_EQ(h.host.realTimeChanges, 1);
}

// The harness's clock reads Monday 1 June 2026, 12:00:00; a fugue lasts 5 minutes.
TEST_F(Interpreter, FugueTimerRunsFromTheDeathAndOnlyForTheUsersRecentDeathWhileMonitoring)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Orc killed Bob"}, "Mon Jun  1 11:58:00"));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 0u);

    h.S().SetMonitoringEnabled(true);
    // Six minutes ago: already run out. Two minutes ago: three minutes left.
    ASSERT_TRUE(Run({"Orc killed Bob"}, "Mon Jun  1 11:54:00"));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 0u);
    ASSERT_TRUE(Run({"Orc killed Rat", "Orc killed Bob"}, "Mon Jun  1 11:58:00"));
    int32_t secondsLeft = 0, count = 0;
    h.S().RealTime().GetFugueTimers(secondsLeft, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(secondsLeft, 180);
    // The same death read again is the same timer.
    ASSERT_TRUE(Run({"Orc killed Bob"}, "Mon Jun  1 11:58:00"));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 1u);
    EXPECT_EQ(C("Bob").Deaths(), 4);
}

// What the bundled logs lack: joining twice must not toggle the member out
// again, and leaving without having joined changes nothing.
TEST_F(Interpreter, AutodetectedPartyChangesOnlyWhatTheRecordsSay)
{
    h.S().Options().autodetectParty = true;
    ASSERT_TRUE(Run({"Bob : Initiative Roll : 11 : (4 + 7 = 11)", "Alice has joined the party.",
                     "Carl has left the party.", "Alice has joined the party."}));
    EXPECT_EQ(h.Data().userCharacterId, C("Bob").ID());
    EXPECT_TRUE(C("Alice").IsPartyMember());
    EXPECT_FALSE(C("Carl").IsPartyMember());
    EXPECT_EQ(h.Data().partyMemberCount, 2);

    ASSERT_TRUE(Run({"Bob has left the party."}));
    EXPECT_EQ(h.Data().userCharacterId, CharacterId::None());
    EXPECT_EQ(h.Data().partyMemberCount, 1);
}

TEST_F(Interpreter, NamesDifferingInCaseAreOneCharacter)
{
    ASSERT_TRUE(Run({"bob attacks Orc : *hit* : (1 + 2 = 3)",
                     "BOB attacks ORC : *hit* : (1 + 2 = 3)", "  Bob  killed orc"}));
    ASSERT_EQ(h.Data().characters.Count(), 2);
    EXPECT_EQ(h.Data().characters.At(CharacterId(1))->Name(), "bob");
    EXPECT_EQ(h.Data().characters.At(CharacterId(2))->Name(), "Orc");
    EXPECT_EQ(C("Bob").Attacks(), 2);
    EXPECT_EQ(C("orc").Deaths(), 1);
}

// The attack and save shapes of real logs, read with the shipped configuration.
// Braces mark the names: attacker and defender, or the one who saves.
TEST(ShippedVocabulary, EveryAttackAndSaveShapeGoesToItsCharacters)
{
    const AnalysisConfig shipped = test::ShippedAnalysisConfig();
    // The rest of the shapes are the parser's; these reach the characters too.
    const std::pair<const char*, bool> cases[] = {
        {"{Xin'thah Moragh} attacks {Legendary Bear} : *critical hit* : (20 + 24 = 44 : Threat "
         "Roll: 14 + 24 = 38)",
         true},
        {"{Maugrim} attacks {Epic Mummy Warrior} : *target concealed: 50%* : (2 + 54 = 56)", false},
        {"Off Hand :  {Ander Gara} attempts Cleave on {Plane Hell Wurm} : *critical hit* : (17 + "
         "65 = 82 : Threat Roll: 19 + 65 = 84)",
         true},
        {"{Sacred} attempts Improved Disarm on {Mordenkainen's Sword} : *failed* : (13 + 44 = 57)",
         false},
        {"Sneak Attack : {Cave Spider Matron} attempts Called Shot: Leg on {Durga} : *hit* : (19 + "
         "41 = 60)",
         true},
        {"{Morrico} : Evasion : Reflex Save vs. Fire : *failure* : (1 + 28 = 29 vs. DC: 23)",
         false},
        {"SAVE: {Woo Wildspawn} : Will Save vs. Spell : *success* : (17 + 40 vs. DC: 38)", true},
    };
    for (const auto& [marked, succeeded] : cases) {
        std::string body;
        Lines names;
        bool inName = false;
        for (const char c : std::string_view(marked)) {
            if (c == '{' || c == '}') {
                inName = c == '{';
                if (inName)
                    names.emplace_back();
                continue;
            }
            body += c;
            if (inName)
                names.back() += c;
        }
        SessionHarness h(shipped);
        ASSERT_TRUE(h.AnalyzeBodies({body})) << body;
        EXPECT_TRUE(h.Errors().empty()) << body;
        ASSERT_EQ(h.Data().characters.Count(), static_cast<int32_t>(names.size())) << body;
        const Character* first = h.Named(names[0]);
        ASSERT_TRUE(first) << body;
        if (names.size() == 1) {
            EXPECT_EQ(first->SaveAttempts(), 1) << body;
            EXPECT_EQ(first->SaveSuccesses(), succeeded ? 1 : 0) << body;
            continue;
        }
        const Character* defender = h.Named(names[1]);
        ASSERT_TRUE(defender) << body;
        EXPECT_EQ(first->Attacks(), 1) << body;
        EXPECT_EQ(first->AttackHits(), succeeded ? 1 : 0) << body;
        EXPECT_EQ(defender->EnemyAttacks(), 1) << body;
    }
}

} // namespace
} // namespace tarvik
