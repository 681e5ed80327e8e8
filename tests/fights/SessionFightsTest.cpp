// Fights, targets and recaps as a session makes them from real line shapes
// with the shipped configuration.
#include "AnalysisTestSupport.h"
#include "LogGenerator.h"
#include "RaidSession.h"
#include "fights/FightViews.h"
#include "fights/TargetViews.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;

class SessionFights : public ::testing::Test {
protected:
    // Reads lines of "hh:mm:ss body" stamped on 16 December.
    void Read(const std::vector<std::string>& timedBodies, const std::string& file = "log.txt")
    {
        std::vector<std::string> lines;
        for (const auto& timed : timedBodies)
            lines.push_back(GameLine(timed.substr(9), "Sat Dec 16 " + timed.substr(0, 8)));
        ASSERT_TRUE(h.S().AnalyzeLog(h.Write(file, lines)));
    }
    const TargetRow* Target(const std::string& name)
    {
        rows = TargetRows(h.S().Fights(), h.S().FightRoster());
        for (const TargetRow& row : rows) {
            if (row.name == name)
                return &row;
        }
        return nullptr;
    }

    test::SessionHarness h{test::ShippedAnalysisConfig()};
    std::vector<TargetRow> rows;
};

TEST_F(SessionFights, ArmourClassFromHitsAndMissesButNotNaturalOnesAndTwenties)
{
    Read({
        "22:26:17 Expertise : Nazzadan attacks Giant Poisonous Moth : *hit* : (19 + 19 = 38 : "
        "Threat Roll: 1 + 19 = 20)",
        "22:26:18 Expertise : Nazzadan attacks Giant Poisonous Moth : *miss* : (7 + 14 = 21)",
        "22:29:14 Expertise : Nazzadan attacks Giant Poisonous Moth : *hit* : (3 + 29 = 32)",
        "22:29:17 Expertise : Nazzadan attacks Giant Poisonous Moth : *critical hit* : (18 + 14 "
        "= 32 : Threat Roll: 13 + 14 = 27)",
        "22:29:18 Expertise : Nazzadan attacks Giant Poisonous Moth : *miss* : (6 + 24 = 30)",
        // A natural 1 misses and a natural 20 hits whatever the armour.
        "22:29:19 Nazzadan attacks Giant Poisonous Moth : *miss* : (1 + 40 = 41)",
        "22:29:19 Nazzadan attacks Giant Poisonous Moth : *hit* : (20 + 5 = 25)",
        // Concealment, miss chance, parry and a resisted knockdown say nothing of it.
        "22:29:20 Maugrim attacks Giant Poisonous Moth : *target concealed: 50%* : (2 + 54 = 56)",
        "22:29:20 Cara O'Sullivan attacks Giant Poisonous Moth : *attacker miss chance: 100%* : "
        "(13 + 51 = 64)",
        "22:29:21 Perryn Starburst attacks Giant Poisonous Moth : *parried* : (7 + 54 = 61)",
        "22:29:21 Durga attempts Improved Knockdown on Giant Poisonous Moth : *resisted* : (2 + 25 "
        "= 27)",
        "22:29:22 Giant Poisonous Moth attacks Nazzadan : *miss* : (9 + 24 = 33)",
        "22:29:23 Giant Poisonous Moth attacks Nazzadan : *hit* : (12 + 24 = 36)",
        "22:29:24 Giant Poisonous Moth attacks Nazzadan : *miss* : (2 + 19 = 21)",
        "22:29:25 Giant Poisonous Moth : Reflex Save vs. Fire : *failure* : (3 + 9 = 12 vs. DC: "
        "20)",
        "22:29:26 Giant Poisonous Moth : Will Save : *success* : (16 + 4 = 20 vs. DC: 15)",
        "22:29:27 SAVE: Giant Poisonous Moth : Fort Save vs. Poison : *failed* : (3 + 11 vs. DC: "
        "16)",
        "22:29:28 Giant Poisonous Moth : Fortitude Save vs. Disease : *failure* : (1 + 12 = 13 vs. "
        "DC: 13)",
    });
    const TargetRow* moth = Target("Giant Poisonous Moth");
    ASSERT_NE(moth, nullptr);
    EXPECT_EQ(moth->ac, "31-32");
    EXPECT_EQ(moth->acLow, 31);
    EXPECT_EQ(moth->acHigh, 32);
    EXPECT_EQ(moth->acRolls, 5);
    EXPECT_EQ(moth->ab, "24 / 19");
    EXPECT_EQ(moth->savesText, "Fort 12, Reflex 9, Will 4");
}

TEST_F(SessionFights, ImmunityPairsDamageWithTheAbsorbThatFollows)
{
    Read({
        "22:01:26 Nazzadan damages Di'Rancor Priestess: 9 (9 Physical 0 Acid)",
        "22:01:26 Di'Rancor Priestess : Damage Immunity absorbs 5 point(s) of Acid",
        "22:01:27 Nazzadan damages Di'Rancor Priestess: 8 (8 Physical 0 Acid)",
        "22:01:27 Di'Rancor Priestess : Damage Immunity absorbs 2 point(s) of Acid",
        "22:01:28 Mirek the Grey damages Di'Rancor Priestess: 44 (44 Magical)",
        "22:01:28 Di'Rancor Priestess : Damage Immunity absorbs 4 point(s) of Magical",
        "22:01:29 Di'Rancor Priestess : Damage Resistance absorbs 5 damage",
        "22:01:29 Di'Rancor Priestess : Damage Reduction absorbs 12 damage",
        // An absorb with no damage line before it (all of the blow was absorbed).
        "22:01:30 Nazzadan : Damage Immunity absorbs 1 point(s) of Physical",
    });
    const TargetRow* priestess = Target("Di'Rancor Priestess");
    ASSERT_NE(priestess, nullptr);
    EXPECT_EQ(priestess->immunitiesText, "Magical 9-10%, Acid 100%");
    EXPECT_EQ(priestess->reductionsText, "2 absorbs, largest 12, average 8.5");
    const TargetRow* nazzadan = Target("Nazzadan");
    ASSERT_NE(nazzadan, nullptr);
    ASSERT_EQ(nazzadan->immunities.size(), 1u);
    EXPECT_EQ(nazzadan->immunities[0].text, "?");
    EXPECT_EQ(nazzadan->immunities[0].absorbs, 1);
    // The statistics of the resist lines are what they were.
    EXPECT_EQ(h.Named("Di'Rancor Priestess")->Resists(), 5);
    EXPECT_EQ(h.Named("Di'Rancor Priestess")->HPsResisted(), 28);
}

TEST_F(SessionFights, TargetFactsFromTheLinesOfACurrentServer)
{
    Read({
        "21:00:00 Vexa Thorn : Initiative Roll : 23 : (17 + 6 = 23)",
        // The weapon's absorbs come below its line, a one-type effect's above:
        // 100 physical at 25% (25 absorbed, 10 reduced), 20 cold at 100%.
        "21:00:01 Vexa Thorn attacks Plane Warden : *hit* : (12 + 50 = 62)",
        "21:00:01 Plane Warden : Damage Immunity absorbs 20 point(s) of Cold",
        "21:00:01 Vexa Thorn damages Plane Warden: 0 (0 Cold)",
        "21:00:01 Vexa Thorn damages Plane Warden: 65 (65 Physical)",
        "21:00:01 Plane Warden : Damage Immunity absorbs 25 point(s) of Physical",
        "21:00:01 Plane Warden : Damage Reduction absorbs 10 damage",
        "21:00:01 Plane Warden : Immune to Critical Hits.",
        "21:00:02 Off Hand : Sneak Attack : Vexa Thorn attacks Plane Warden : *miss* : (3 - 2 = "
        "1)",
        "21:00:02 Plane Warden : Immune to Sneak Attacks.",
        // A hit evaded by Epic Dodge keeps its threat roll; a touch attack
        // tells the touch AC.
        "21:00:03 Vexa Thorn attacks Plane Warden : *miss* : (15 + 50 = 65 : Threat Roll: 4 + 50 "
        "= 54)",
        "21:00:03 Plane Warden : Epic Dodge : Attack evaded",
        "21:00:04 Vexa Thorn attempts Touch Attack on Plane Warden : *hit* : (5 + 40 = 45)",
        "21:00:05 Vexa Thorn attacks Plane Warden : *miss* : (6 + 50 = 56)",
        "21:00:06 Plane Warden attacks Vexa Thorn : *hit* : (10 + 69 = 79)",
        "21:00:06 Plane Warden attacks Vexa Thorn : *hit* : (10 + 64 = 74)",
        "21:00:07 SPELL RESIST: Vexa Thorn attempts to resist: Hammer of the Gods - Result:  "
        "IMMUNE",
        "21:00:08 SPELL RESIST: Vexa Thorn attempts to resist: Hammer of the Gods - Result:  "
        "IMMUNE",
        "21:00:09 SPELL RESIST: Vexa Thorn attempts to resist: Horrid Wilting - Result:  FAILED",
        "21:00:10 Plane Warden : Reflex Save vs. Cold : *success* : (12 - 3 = 9 vs. DC: 8)",
        "21:00:11 Vexa Thorn: [Party] I am immune to sneak attacks too",
    });
    const TargetRow* warden = Target("Plane Warden");
    ASSERT_NE(warden, nullptr);
    // A hit at 62, misses at 56 and at 1: the AC is 57 to 62.
    EXPECT_EQ(warden->ac, "57-62");
    EXPECT_EQ(warden->acRolls, 3);
    EXPECT_EQ(warden->evaded, 1);
    EXPECT_EQ(warden->touchAc, "?-45");
    EXPECT_EQ(warden->ab, "69 / 64");
    EXPECT_EQ(warden->savesText, "Reflex -3");
    ASSERT_EQ(warden->immunities.size(), 2u);
    EXPECT_EQ(warden->immunities[0].name, "Physical");
    // 25 of 25 + 65 + 10 = 100 allows 25% only.
    EXPECT_EQ(warden->immunities[0].text, "25% (1 hit)");
    EXPECT_EQ(warden->immunities[1].name, "Cold");
    EXPECT_EQ(warden->immunities[1].text, "100% (1 hit)");
    EXPECT_EQ(warden->specialText, "Critical Hits, Sneak Attacks");
    // Spell resistance is the owner's, never a target's.
    const Character* vexa = h.Named("Vexa Thorn");
    ASSERT_NE(vexa, nullptr);
    const SpellResultsById results = SpellResultsByCharacter(h.S().Fights());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].first, vexa->ID());
    EXPECT_EQ(SpellResultsText(results[0].second),
              "Hammer of the Gods: immune x2; Horrid Wilting: failed x1");
    // Party chat about immunities is chat.
    EXPECT_TRUE(AllStatsOf(h.S().Fights(), vexa->ID()).specialImmunities.empty());
}

TEST_F(SessionFights, ServerContinuationLinesTellImmunities)
{
    const std::vector<std::string> lines = {
        GameLine("Ander Gara attacks Plane Hell Wurm : *hit* : (17 + 65 = 82)",
                 "Sat Dec 16 22:00:00"),
        GameLine("Ander Gara casts Fear", "Sat Dec 16 22:00:01"),
        "Plane Hell Wurm is immune to to FEAR effects",
        "BEST RESULT: 19",
    };
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    const TargetRow* wurm = Target("Plane Hell Wurm");
    ASSERT_NE(wurm, nullptr);
    EXPECT_EQ(wurm->specialText, "FEAR");
    // The other continuation names nobody.
    EXPECT_EQ(h.Named("BEST RESULT"), nullptr);
}

TEST_F(SessionFights, FightGoesOnAcrossTheBorderOfTwoLogsAndAClearForgetsIt)
{
    Read({"23:59:50 Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
          "23:59:58 Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)"},
         "nwclientLog1.txt");
    // The next log starts after midnight, within the gap.
    std::vector<std::string> lines = {
        GameLine("Drogo damages Duergar Veteran: 12 (12 Physical)", "Sun Dec 17 00:00:05"),
        GameLine("Drogo killed Duergar Veteran", "Sun Dec 17 00:00:05")};
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("nwclientLog2.txt", lines)));
    const auto& fights = h.S().Fights().Fights();
    ASSERT_EQ(fights.size(), 1u);
    EXPECT_EQ(fights[0].DurationSeconds(), 15);
    const FightCharacter* drogo = fights[0].Find(h.Named("Drogo")->ID());
    ASSERT_NE(drogo, nullptr);
    EXPECT_EQ(drogo->damageDealt, 42);
    EXPECT_EQ(drogo->kills, 1);

    h.S().ClearAllData();
    EXPECT_TRUE(h.S().Fights().Fights().empty());
    EXPECT_TRUE(TargetRows(h.S().Fights(), h.S().FightRoster()).empty());
}

// The fights' damage adds up to the damage of the lines, per character and
// per type, whatever the fights' lengths.
TEST_F(SessionFights, DamageIsConserved)
{
    std::vector<std::string> paths;
    for (const char* name : {"nwclientLog1.txt", "nwclientLog2.txt", "nwclientLog3.txt"})
        paths.push_back(test::SourceDir() + "/data/samples/" + name);
    LogGenerator::Options options;
    options.lines = 20000; // hours of fighting without a pause: wide buckets
    options.seed = 7;
    paths.push_back(h.dir.File("generated.txt"));
    {
        std::ofstream out(paths.back(), std::ios::binary);
        LogGenerator(options).Write(out);
    }
    for (const auto& path : paths)
        ASSERT_TRUE(h.S().AnalyzeLog(path)) << path;

    const auto& fights = h.S().Fights().Fights();
    ASSERT_GT(fights.size(), 3u);
    const size_t types = h.config.damageTypes.size() - 1;
    std::map<CharacterId, int64_t> dealt, taken, series;
    std::map<CharacterId, std::vector<int64_t>> dealtByType;
    for (const Fight& fight : fights) {
        EXPECT_LE(fight.SeriesPoints(), Fight::MaxSeriesPoints);
        for (const FightCharacter& c : fight.Characters()) {
            dealt[c.id] += c.damageDealt;
            taken[c.id] += c.damageTaken;
            for (const int32_t bucket : c.series.dealt.Values())
                series[c.id] += bucket;
            auto& byType = dealtByType[c.id];
            byType.resize(types);
            for (size_t t = 0; t < types; ++t)
                byType[t] += c.dealtByType[t];
        }
    }
    for (const auto& character : h.Data().characters) {
        const CharacterId id = character->ID();
        EXPECT_EQ(dealt[id], character->DamageDealt()) << character->Name();
        EXPECT_EQ(taken[id], character->DamageReceived()) << character->Name();
        EXPECT_EQ(series[id], character->DamageDealt()) << character->Name();
        std::vector<int64_t> expected(types, 0);
        for (const AttackRecord& record : character->OutboundRecords())
            for (size_t t = 0; t < types; ++t)
                expected[t] += record.DamageOfType(DamageTypeIndex::FromSlot(t));
        dealtByType[id].resize(types);
        EXPECT_EQ(dealtByType[id], expected) << character->Name();
    }
}

// A generated raid read whole: the boss's card says what the generator was
// told of the boss, worked out here from the same parameters.
class RaidCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        log = WriteRaid(plan);
        const std::string path = h.dir.File(log.name);
        test::WriteBytes(path, log.contents);
        test::SetModifiedLocal(path, h.clock.Now());
        ASSERT_TRUE(h.S().AnalyzeLog(path));
        rows = TargetRows(h.S().Fights(), h.S().FightRoster());
        for (const TargetRow& row : rows) {
            if (row.name == plan.boss.name)
                boss = &row;
        }
        ASSERT_NE(boss, nullptr);
    }

    RaidPlan plan = DefaultRaid();
    RaidLog log;
    test::SessionHarness h{test::ShippedAnalysisConfig()};
    std::vector<TargetRow> rows;
    const TargetRow* boss = nullptr;
};

TEST_F(RaidCard, ArmourClassAndEvadedHits)
{
    // Every roll agrees with the boss's armour class, and hundreds pin it.
    EXPECT_EQ(boss->ac, std::to_string(plan.boss.ac));
    EXPECT_EQ(boss->acOutliers, 0);
    EXPECT_EQ(boss->acEstimateLow, plan.boss.ac);
    EXPECT_EQ(boss->acEstimateHigh, plan.boss.ac);
    EXPECT_GT(boss->acRolls, 300);
    // Every hit Epic Dodge evaded, and no other.
    ASSERT_GT(log.truth.evaded[plan.boss.name], 0);
    EXPECT_EQ(boss->evaded, log.truth.evaded[plan.boss.name]);
}

TEST_F(RaidCard, AttackBonusLadder)
{
    // Haste's extra attack adds no step: 69 / 64 / 59 / 54.
    const AttackLadder& attack = plan.boss.attack;
    std::string expected;
    for (int step = 0; step < attack.perRound - attack.extra; ++step)
        expected += (step ? " / " : "") + std::to_string(attack.bonus - step * attack.step);
    EXPECT_EQ(boss->ab, expected);
}

TEST_F(RaidCard, EveryImmunityAsNarrowAsItsHitsAllow)
{
    // A hit of N points at p% immunity loses floor(N * p / 100): the card
    // shows the percentages every hit written allows, the true one among them.
    int types = 0;
    for (int type = 0; type < DamageTypeCount; ++type) {
        const int percent = plan.boss.immunity[static_cast<size_t>(type)];
        if (percent == 0)
            continue;
        ++types;
        const auto& pairs = log.truth.immunityPairs[{plan.boss.name, type}];
        ASSERT_FALSE(pairs.empty()) << DamageTypeName(type);
        std::vector<int> allowed;
        for (int p = 0; p <= 100; ++p) {
            if (std::all_of(pairs.begin(), pairs.end(),
                            [p](const auto& pair) { return pair.first * p / 100 == pair.second; }))
                allowed.push_back(p);
        }
        ASSERT_TRUE(std::count(allowed.begin(), allowed.end(), percent)) << DamageTypeName(type);
        const auto cell =
            std::find_if(boss->immunities.begin(), boss->immunities.end(),
                         [&](const auto& c) { return c.name == DamageTypeName(type); });
        ASSERT_NE(cell, boss->immunities.end()) << DamageTypeName(type);
        EXPECT_EQ(cell->low, allowed.front()) << cell->name;
        EXPECT_EQ(cell->high, allowed.back()) << cell->name;
        EXPECT_EQ(cell->pairs, static_cast<int>(pairs.size())) << cell->name;
        EXPECT_EQ(cell->support, cell->pairs) << cell->name;
        EXPECT_TRUE(cell->byAttacker.empty()) << cell->name;
        const std::string range =
            allowed.front() == allowed.back()
                ? std::to_string(allowed.front())
                : std::to_string(allowed.front()) + "-" + std::to_string(allowed.back());
        EXPECT_EQ(cell->text, range + "% (" + std::to_string(pairs.size()) + " hits)");
    }
    EXPECT_EQ(boss->immunities.size(), static_cast<size_t>(types));
}

TEST_F(RaidCard, SavesSpecialImmunitiesReductionAndDamageByAttacker)
{
    // The wizard's cold and fire call for Reflex saves only.
    ASSERT_EQ(boss->saves.size(), 1u);
    EXPECT_EQ(boss->saves[0].name, "Reflex");
    EXPECT_EQ(boss->saves[0].best, plan.boss.saves[1]);

    std::set<std::string> special;
    for (const NamedCount& immunity : boss->specialImmunities)
        special.insert(immunity.name);
    EXPECT_EQ(special, std::set<std::string>(plan.boss.immuneTo.begin(), plan.boss.immuneTo.end()));

    EXPECT_GT(boss->reductions.count, 0);
    // Reduction 10 of a hit's physical part, resistance 5 of its fire.
    EXPECT_EQ(boss->reductions.largest, std::max(plan.boss.reduction, 5));

    int64_t total = 0;
    for (const AttackerDamageRow& attacker : boss->damage.rows) {
        const int64_t written = log.truth.damage[{plan.boss.name, attacker.name}];
        EXPECT_EQ(attacker.damage, written) << attacker.name;
        total += written;
    }
    EXPECT_EQ(boss->damage.rows.size(), plan.party.size());
    EXPECT_EQ(boss->damage.total, total);
}

TEST_F(RaidCard, SpellResistanceBelongsToTheOwner)
{
    const Character* owner = h.Named(plan.party[0].name);
    ASSERT_NE(owner, nullptr);
    const SpellResultsById results = SpellResultsByCharacter(h.S().Fights());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].first, owner->ID());
    int lines = 0;
    for (const SpellResultLine& line : results[0].second) {
        for (const NamedCount& result : line.results) {
            std::string written = result.name;
            for (char& c : written)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(result.count, (log.truth.spellResults[{line.spell, written}]))
                << line.spell << " " << result.name;
            ++lines;
        }
    }
    EXPECT_EQ(lines, static_cast<int>(log.truth.spellResults.size()));
    // The owner is immune to one of the boss's spells, so only ever immune to it.
    for (const auto& [spellAndResult, count] : log.truth.spellResults) {
        if (spellAndResult.first == plan.party[0].immuneToSpells[0]) {
            EXPECT_EQ(spellAndResult.second, "IMMUNE");
        }
    }
}

} // namespace
} // namespace tarvik
