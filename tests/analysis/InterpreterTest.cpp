#include "AnalysisTestSupport.h"
#include "analysis/RecordInterpreter.h"

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
    }

    SessionHarness h;
    ErrorList toolErrors;
    RecordInterpreter tools{h.config,   h.Data(),      h.S().RealTime(), h.debug,
                            toolErrors, h.S().Marks(), h.S().Options(),  h.host};
};

TEST_F(Interpreter, LeadingDescriptionsAreRemoved)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Off Hand : Bob attacks Orc : *miss* : (3 + 8 = 11)",
                     // Rejoined without blanks, the result loses its "*", so "*hit*" is not found.
                     "Off Hand : Sneak Attack : Bob attacks Orc : *hit* : (3 + 9 = 12)"}));
    EXPECT_EQ(h.Data().characters.Count(), 2);
    EXPECT_EQ(C("Bob").Attacks(), 2);
    EXPECT_EQ(C("Bob").AttackHits(), 0);
    EXPECT_EQ(h.Samples(true), (Ints{8, 9}));
    EXPECT_TRUE(h.Errors().empty());
}

TEST(InterpreterDamage, AmountsAndTypeNames)
{
    struct Case {
        const char* body;
        Ints breakdown; // Physical, Fire, Negative, Total; empty: rejected
    };
    const Case cases[] = {
        {"Orc damages Bob: 12 (5 Physical 7 Fire)", {5, 7, 0, 12}},
        // A zero amount leaves its type name to join the next: "Physical Fire"
        // resolves to the type listed first, Physical.
        {"Orc damages Bob: 12 (0 Physical 7 Fire)", {7, 0, 0, 7}},
        {"Orc damages Bob: 9 (9 Negative Energy)", {0, 0, 9, 9}},
        // A later amount of the same type replaces the earlier; the total has both.
        {"Orc damages Bob: 12 (5 Fire 7 Fire)", {0, 7, 0, 12}},
        {"Orc damages Bob: 0 (0 Fire)", {0, 0, 0, 0}},
        {"Orc damages Bob: 7 fire", {0, 7, 0, 7}},
        {"Orc damages Bob: 12", {}},
        {"Orc damages Bob: 15 (5 Physical 3 Glitter 7 Fire)", {}},
        {"Orc damages Bob: 5 (5 Glitter)", {}},
        {"Orc damages Bob 5 Fire", {}},
        {"damages Bob: 5 (5 Fire)", {}},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.AnalyzeBodies({c.body})) << c.body;
        const Character* orc = h.Named("Orc");
        if (c.breakdown.empty()) {
            EXPECT_EQ(h.Errors(), Lines{"Invalid damage record, discarded: " + GameLine(c.body)});
            EXPECT_EQ(h.Data().recordsParsed, 0) << c.body;
            EXPECT_TRUE(!orc || orc->OutboundRecords().empty()) << c.body;
            continue;
        }
        EXPECT_TRUE(h.Errors().empty()) << c.body;
        ASSERT_NE(orc, nullptr);
        ASSERT_EQ(orc->OutboundRecords().size(), 1u) << c.body;
        Ints sums;
        for (size_t t = 0; t < 4; ++t)
            sums.push_back(orc->OutboundRecords()[0].DamageOfType(t));
        EXPECT_EQ(sums, c.breakdown) << c.body;
        EXPECT_EQ(orc->DamageDealt(), c.breakdown.back()) << c.body;
    }
}

// Amounts that are no numbers, and sums beyond 32 bits, end the whole read.
TEST(InterpreterSeriousErrors, EndTheReadWithTheErrorLine)
{
    struct Case {
        const char* failing; // read twice for sums
        const char* error;
        bool twice = false;
    };
    const Case cases[] = {
        {"Bob : healed lots hit points.", "13 - Type mismatch"},
        {"Bob : Damage Resistance absorbs many damage", "13 - Type mismatch"},
        {"Bob : Will Save : *success* : (6 + x = 22 vs. DC: 15)", "13 - Type mismatch"},
        {"Bob : healed 99999999999 hit points.", "6 - Overflow"},
        {"Orc damages Bob: 1 (2000000000 Physical 2000000000 Fire)", "6 - Overflow"},
        {"Experience Points Gained:  2000000000", "6 - Overflow", true},
    };
    for (const auto& c : cases) {
        SessionHarness h;
        Lines lines(c.twice ? 2 : 1, GameLine(c.failing));
        lines.push_back(GameLine("Bob killed Orc")); // never reached
        int64_t position = 0;
        EXPECT_FALSE(h.S().AnalyzeLog(h.Write("bad log.txt", lines), &position)) << c.failing;
        EXPECT_EQ(position, 0) << c.failing;
        ASSERT_FALSE(h.Errors().empty());
        EXPECT_EQ(h.Errors().back(), std::string(">> ERROR:  current file [bad log.txt], current "
                                                 "record [") +
                                         c.failing + "], error " + c.error + ".");
        EXPECT_EQ(h.host.seriousErrors.size(), 1u) << c.failing;
        EXPECT_EQ(h.host.tabs, std::vector<MainTab>{MainTab::Errors});
        EXPECT_TRUE(h.host.recordDates.empty()) << "dates are not shown after a failure";
        EXPECT_EQ(h.host.monitoringStops, 0);
        const Character* bob = h.Named("Bob");
        EXPECT_TRUE(bob == nullptr || bob->Kills() == 0) << c.failing;
    }

    SessionHarness monitored;
    monitored.S().SetMonitoringEnabled(true);
    EXPECT_FALSE(monitored.AnalyzeBodies({"Bob : healed lots hit points."}));
    EXPECT_EQ(monitored.host.monitoringStops, 1);
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
        h.S().Marks().SelectUserCharacter(1);
        h.S().RealTime().SetLastConcealment(40);
        h.Data().realTimeDataChanged = false;
        ASSERT_TRUE(h.AnalyzeBodies({c.body}));
        EXPECT_EQ(h.Data().recordsParsed, 2) << c.body;
        EXPECT_EQ(h.S().RealTime().LastConcealment(), c.concealment) << c.body;
        EXPECT_EQ(h.Data().realTimeDataChanged, c.concealment != 40) << c.body;
        EXPECT_EQ(h.Samples(true), c.own) << c.body;
        EXPECT_EQ(h.Samples(false), c.enemy) << c.body;
    }
}

TEST(InterpreterRecords, RejectionsNameTheRecordKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Bob : Will Save", "Invalid save record"},
        {"Will Save : *success* : (6 + 16 = 22)", "Invalid save record"},
        {"Bob : Damage Resistance absorbs 5", "Invalid damage resistance record"},
        {"Bob : healed 10 points.", "Invalid healing record"},
        {"killed Orc", "Invalid kill record"},
        {"attacks Orc : *hit* : (1 + 5 = 6)", "Invalid attack record"},
        {"Bob attacks Orc", "Custom attack record"},
        {"casts Sleep", "Invalid spell record"},
        {": Initiative Roll : 5 : (1 + 4 = 5)", "Invalid character record"},
        {"has joined the party.", "Invalid party join record"},
        {"Bob waves at Orc", "Unknown record type"},
    };
    for (const auto& [body, rejection] : cases) {
        SessionHarness h;
        h.S().Options().autodetectParty = true;
        ASSERT_TRUE(h.AnalyzeBodies({body})) << body;
        EXPECT_EQ(h.Errors(), Lines{std::string(rejection) + ", discarded: " + GameLine(body)});
        EXPECT_EQ(h.Data().recordsParsed, 0) << body;
    }
}

TEST_F(Interpreter, FugueTimerOnlyForTheUsersDeathWhileMonitoring)
{
    MakeUser("Bob");
    ASSERT_TRUE(Run({"Orc killed Bob"}));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 0u);

    h.S().SetMonitoringEnabled(true);
    ASSERT_TRUE(Run({"Orc killed Rat", "Orc killed Bob"}));
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 1u);
    EXPECT_EQ(C("Bob").Deaths(), 2);
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
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_EQ(h.Data().partyMemberCount, 1);
}

TEST_F(Interpreter, SplitRecord)
{
    struct Case {
        const char* text;
        const char* separator;
        const char* left; // nullptr: no split
        const char* right;
    };
    const Case cases[] = {
        {"Bob ATTACKS Orc : *hit*", "attacks", "Bob", "Orc : *hit*"},
        // The character after the separator is skipped, a letter too.
        {"Bob:Orc", ":", "Bob", "rc"},
        {":Bob", ":", nullptr, nullptr},
        {"Bob:", ":", nullptr, nullptr},
        {"Bob Orc", ":", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        std::string_view left = "unchanged", right = "unchanged";
        EXPECT_EQ(tools.SplitRecord(c.text, c.separator, left, right), c.left != nullptr);
        EXPECT_EQ(left, c.left ? c.left : "unchanged") << c.text;
        EXPECT_EQ(right, c.right ? c.right : "unchanged") << c.text;
    }
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
}

} // namespace
} // namespace tarvik
