#include "analysis/RecordTypes.h"

#include "TestSupport.h"
#include "analysis/RecordKind.h"
#include "analysis/RecordType.h"
#include "app/Configuration.h"
#include "util/FileUtil.h"
#include "util/Text.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

RecordType MakeType(const std::string& name, const std::vector<std::string>& identifiers)
{
    RecordType type;
    type.CreateRecordType(name, identifiers);
    return type;
}

RecordTypes MakeTypes(const std::vector<std::pair<std::string, std::vector<std::string>>>& list)
{
    RecordTypes types;
    for (const auto& [name, identifiers] : list)
        EXPECT_TRUE(types.Add(MakeType(name, identifiers))) << name;
    return types;
}

// The classification rule in its plainest form: ask each type in order.
struct NaiveMatch {
    int type = -1;
    std::string identifier;
};

NaiveMatch NaiveClassify(const RecordTypes& types, std::string_view body)
{
    for (size_t t = 0; t < types.Types().size(); ++t) {
        std::string matched = "untouched";
        if (types.Types()[t].IsThis(body, &matched))
            return {static_cast<int>(t), matched};
        EXPECT_EQ(matched, "untouched");
    }
    return {};
}

int TypeIndex(const RecordTypes& types, const RecordTypes::Match& match)
{
    return match ? static_cast<int>(match.type - types.Types().data()) : -1;
}

void ExpectSameAsNaive(const RecordTypes& types, std::string_view body)
{
    const NaiveMatch expected = NaiveClassify(types, body);
    const RecordTypes::Match actual = types.Classify(body);
    ASSERT_EQ(TypeIndex(types, actual), expected.type) << "body: \"" << body << '"';
    if (actual) {
        ASSERT_EQ(actual.identifier, expected.identifier) << "body: \"" << body << '"';
    }
}

// "Type/identifier" of the classification of body, or "none"; checked
// against the naive walk on the way.
std::string Classified(const RecordTypes& types, std::string_view body)
{
    ExpectSameAsNaive(types, body);
    const RecordTypes::Match match = types.Classify(body);
    return match ? match.type->Name() + "/" + std::string(match.identifier) : "none";
}

TEST(RecordType, StoresIdentifiersInLowerCaseAndMatchesAnyCase)
{
    const RecordType type = MakeType("Attack", {"ATTACKS", "Attempts Cleave On"});
    EXPECT_EQ(type.Name(), "Attack");
    EXPECT_EQ(type.Identifiers(), (std::vector<std::string>{"attacks", "attempts cleave on"}));
    std::string matched;
    EXPECT_TRUE(type.IsThis("Drogo attacks Bear", &matched));
    EXPECT_EQ(matched, "attacks");
    EXPECT_TRUE(type.IsThis("OFF HAND : Ander ATTEMPTS CLEAVE ON Wurm", &matched));
    EXPECT_EQ(matched, "attempts cleave on");
    // Plain substring search: word boundaries play no part.
    EXPECT_TRUE(type.IsThis("counterattacks"));
    EXPECT_FALSE(type.IsThis("Drogo attack Bear"));
}

TEST(RecordTypes, FirstTypeInOrderWins)
{
    const RecordTypes types = MakeTypes(
        {{"Chat", {"[Party]", "[tell]"}}, {"Attack", {"ATTACKS"}}, {"Damage", {"damages"}}});
    EXPECT_EQ(Classified(types, "Bob: [party] Drogo ATTACKS and damages"), "Chat/[party]");
    EXPECT_EQ(Classified(types, "Durga : [TELL] he attacks"), "Chat/[tell]");
    EXPECT_EQ(Classified(types, "Drogo Attacks Bear : *hit*"), "Attack/attacks");
    EXPECT_EQ(Classified(types, "DROGO DAMAGES BEAR: 5 (5 Physical)"), "Damage/damages");
    EXPECT_EQ(Classified(types, "Drogo damages Bear and attacks again"), "Attack/attacks");
    EXPECT_EQ(Classified(types, "Resting."), "none");
    EXPECT_EQ(Classified(types, ""), "none");
}

TEST(RecordTypes, KeyOrderBreaksTiesWhateverTheIdentifierLength)
{
    const auto shortFirst = MakeTypes({{"Hit", {"hit"}}, {"Critical", {"critical hit"}}});
    EXPECT_EQ(Classified(shortFirst, "*critical hit*"), "Hit/hit");
    const auto longFirst = MakeTypes({{"Critical", {"critical hit"}}, {"Hit", {"hit"}}});
    EXPECT_EQ(Classified(longFirst, "*critical hit*"), "Critical/critical hit");
    // An earlier type wins even when its identifier ends last in the text.
    const auto late = MakeTypes({{"Long", {"xyz long identifier"}}, {"Short", {"x"}}});
    EXPECT_EQ(Classified(late, "x first, then xyz long identifier"), "Long/xyz long identifier");
    // Within a type the list order decides, not the position in the text.
    const auto within = MakeTypes({{"Save", {"will save", "fortitude save"}}});
    EXPECT_EQ(Classified(within, "Fortitude Save, then Will Save"), "Save/will save");
}

TEST(RecordTypes, KindNamesAreExactWhileTypeNamesIgnoreCase)
{
    RecordTypes types = MakeTypes({{"attack", {"attacks"}}, {"Damage", {"damages"}}});
    const RecordTypes::Match match = types.Classify("Drogo attacks Bear");
    ASSERT_TRUE(match);
    EXPECT_EQ(match.type->Name(), "attack");
    EXPECT_EQ(match.kind, RecordKind::Unknown);
    EXPECT_EQ(types.Classify("Drogo damages Bear: 5").kind, RecordKind::Damage);

    EXPECT_FALSE(types.Add(MakeType("ATTACK", {"hits"})));
    EXPECT_EQ(types.Count(), 2);
    ASSERT_NE(types.Find("ATTACK"), nullptr);
    EXPECT_EQ(types.Find("ATTACK")->Name(), "attack");
    EXPECT_FALSE(types.Classify("Drogo hits Bear"));

    // Kind names compare exactly.
    for (const char* name : {"CHAT", "Attack ", "Partyjoin", ""})
        EXPECT_EQ(RecordKindFromName(name), RecordKind::Unknown) << '"' << name << '"';
}

TEST(RecordTypes, EmptyIdentifierMatchesEveryNonEmptyText)
{
    const RecordTypes types =
        MakeTypes({{"Chat", {"[party]"}}, {"Any", {"x", "", "y"}}, {"Attack", {"attacks"}}});
    EXPECT_EQ(Classified(types, "Drogo attacks Bear"), "Any/");
    EXPECT_EQ(Classified(types, "xylophone"), "Any/x");
    EXPECT_EQ(Classified(types, "yes"), "Any/");
    EXPECT_EQ(Classified(types, " "), "Any/");
    EXPECT_EQ(Classified(types, "[Party] hi"), "Chat/[party]");
    EXPECT_EQ(Classified(types, ""), "none");
    EXPECT_EQ(Classified(MakeTypes({{"Nothing", {}}}), "anything"), "none");
}

// Identifiers built from a few letters, so that they overlap, prefix and
// contain one another, and bodies that mostly carry some of them in any case.
class RandomTypes {
public:
    RandomTypes(unsigned seed, std::string alphabet)
        : random_(seed)
        , alphabet_(std::move(alphabet))
    {
    }

    std::string Identifier()
    {
        const int roll = Uniform(0, 19);
        if (roll == 0)
            return {};
        if (roll < 8 && !identifiers_.empty()) {
            // A prefix, a suffix or an extension of an earlier identifier.
            std::string base = identifiers_[Uniform<size_t>(0, identifiers_.size() - 1)];
            if (roll < 4 && !base.empty())
                return base.substr(0, Uniform<size_t>(1, base.size()));
            if (roll < 6 && !base.empty())
                return base.substr(Uniform<size_t>(0, base.size() - 1));
            return base + Text(1, 3);
        }
        return Text(1, 6);
    }

    // A new list of types, and every shorter list on the way to it, as the
    // loader adds the types one by one.
    std::vector<RecordTypes> GrowingTypes()
    {
        identifiers_.clear();
        std::vector<RecordTypes> lists(1);
        const int count = Uniform(1, 6);
        for (int t = 0; t < count; ++t) {
            std::vector<std::string> ids(Uniform<size_t>(1, 5));
            for (auto& id : ids) {
                identifiers_.push_back(Identifier());
                id = FlipCase(identifiers_.back()); // the configuration may use any case
            }
            lists.push_back(lists.back());
            lists.back().Add(MakeType("Type" + std::to_string(t), ids));
        }
        return lists;
    }

    std::string Body()
    {
        std::string body = Text(0, 8);
        const int pieces = Uniform(0, 3);
        for (int p = 0; p < pieces && !identifiers_.empty(); ++p) {
            body += FlipCase(identifiers_[Uniform<size_t>(0, identifiers_.size() - 1)]);
            body += Text(0, 4);
        }
        return body;
    }

private:
    template <class T>
    T Uniform(T low, T high)
    {
        return std::uniform_int_distribution<T>(low, high)(random_);
    }
    std::string Text(size_t minLength, size_t maxLength)
    {
        std::string text(Uniform(minLength, maxLength), ' ');
        for (char& c : text)
            c = alphabet_[Uniform<size_t>(0, alphabet_.size() - 1)];
        return text;
    }
    std::string FlipCase(std::string text)
    {
        for (char& c : text) {
            if (Uniform(0, 1))
                c = Uniform(0, 1) ? ToUpperChar(c) : ToLowerChar(c);
        }
        return text;
    }

    std::mt19937 random_;
    std::string alphabet_;
    std::vector<std::string> identifiers_;
};

TEST(RecordTypes, ClassifyAgreesWithAskingEachTypeInOrder)
{
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        allBytes.push_back(static_cast<char>(b));
    // A few letters with Windows-1252 case partners, a blank and the marker
    // star make identifiers collide often; all bytes exercise the folding.
    const std::pair<std::string, int> runs[] = {{"abcAB :*\xC9\xE9\x8A\x9A", 3000},
                                                {allBytes, 300}};
    for (const auto& [alphabet, rounds] : runs) {
        RandomTypes random(20260601, alphabet);
        for (int round = 0; round < rounds; ++round) {
            for (const RecordTypes& types : random.GrowingTypes()) {
                for (int b = 0; b < 8; ++b)
                    ExpectSameAsNaive(types, random.Body());
            }
            if (HasFatalFailure())
                return;
        }
    }
}

class ShippedConfiguration : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(result.configuration) << result.fatalMessage;
        config = &*result.configuration;
    }
    const ConfigurationResult result = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    const Configuration* config = nullptr;
};

TEST_F(ShippedConfiguration, LoadsWithoutWarningsAndKnowsEveryKind)
{
    EXPECT_TRUE(result.fatalMessage.empty());
    EXPECT_TRUE(result.warnings.empty());
    const RecordTypes& types = config->analysis.recordTypes;
    ASSERT_EQ(types.Count(), 12);
    EXPECT_EQ(types.Types().front().Name(), "Chat");
    std::set<RecordKind> kinds;
    for (const RecordType& type : types.Types())
        kinds.insert(RecordKindFromName(type.Name()));
    EXPECT_EQ(kinds.size(), 12u);
    EXPECT_FALSE(kinds.contains(RecordKind::Unknown));
    EXPECT_EQ(config->analysis.damageTypes.back(), "Total");
    EXPECT_EQ(config->analysis.DamageTypeCount(),
              static_cast<int>(config->analysis.shortDamageTypes.size()));
}

TEST_F(ShippedConfiguration, ClassifiesRealLookingRecords)
{
    using K = RecordKind;
    struct Case {
        const char* body;
        RecordKind kind; // Unknown: no type matches
    };
    const Case cases[] = {
        {"Smith Smurf: [Party] hi", K::Chat},
        {"Durga : [Tell] he attacks and killed it", K::Chat},
        {"[Server] You are now in a No PVP area.", K::Chat},
        {"Smith Smurf casts Mage Armor", K::Casting},
        {"Thessaly casts unknown spell", K::Casting},
        {"Smith Smurf casting Mage Armor", K::Unknown},
        {"Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)", K::Attack},
        {"Xin'thah Moragh attacks Legendary Bear : *critical hit* : (20 + 24 = 44 : Threat Roll: "
         "14 + 24 = 38)",
         K::Attack},
        {"Maugrim attacks Epic Mummy Warrior : *target concealed: 50%* : (2 + 54 = 56)", K::Attack},
        {"Off Hand : Sneak Attack : Grrr'ark Bloodpaw attacks Chicken : *critical hit* : (15 + 41 "
         "= 56 : Threat Roll: 12 + 41 = 53)",
         K::Attack},
        {"Off Hand :  Ander Gara attempts Cleave on Plane Hell Wurm : *critical hit* : (17 + 65 = "
         "82 : Threat Roll: 19 + 65 = 84)",
         K::Attack},
        {"Durga attempts Improved Knockdown on Legendary Wolf : *resisted* : (2 + 25 = 27)",
         K::Attack},
        {"Sacred attempts Improved Disarm on Mordenkainen's Sword : *failed* : (13 + 44 = 57)",
         K::Attack},
        {"Smith Smurf damages Legendary Bear: 30 (20 Physical 10 Fire)", K::Damage},
        {"Smith Smurf killed Legendary Bear", K::Kill},
        {"Greg the Nasty : Healed 15 hit points.", K::Healing},
        {"Nazzadan : Damage Resistance absorbs 5 damage", K::Resist},
        {"Nazzadan : Damage Reduction absorbs 12 damage", K::Resist},
        {"Nazzadan : Damage Immunity absorbs 1 point(s) of Physical", K::Resist},
        {"Xin'thah Moragh : Fortitude Save vs. Disease : *failure* : (1 + 16 = 17 vs. DC: 13)",
         K::Save},
        {"Xin'thah Moragh : Will Save : *success* : (6 + 16 = 22 vs. DC: 15)", K::Save},
        {"Morrico : Evasion : Reflex Save vs. Fire : *failure* : (1 + 28 = 29 vs. DC: 23)",
         K::Save},
        {"SAVE: Ash-Tusk Clan High Priest : Fort Save vs. Mind Spell : *failed* : (3 + 29 vs. DC: "
         "45)",
         K::Save},
        {"Experience Points Gained:  242", K::Experience},
        {"Drogo : Initiative Roll : 11 : (4 + 7 = 11)", K::Character},
        {"Xin'thah Moragh has joined the party.", K::PartyJoin},
        {"Xin'thah Moragh has left the party.", K::PartyExit},
        {"Halgroth has joined as a player..", K::Unknown},
        {"Luminousdove has left as a player..", K::Unknown},
        {"Devastating Critical Hit!", K::Unknown},
        {"Gargantuan Earth Elemental : Immune to Sneak Attacks.", K::Chat},
        {"Nazzadan : Epic Dodge : Attack evaded", K::Unknown},
        {"Take 20 : Morrico : Disable Trap : *success* : (20 + 32 = 52 vs. DC: 49)", K::Unknown},
        {"* Bard Song - from: Cara O'Sullivan - wore off *", K::Unknown}};
    const RecordTypes& types = config->analysis.recordTypes;
    for (const auto& c : cases) {
        const RecordTypes::Match match = types.Classify(c.body);
        EXPECT_EQ(match.kind, c.kind) << c.body;
        EXPECT_EQ(static_cast<bool>(match), c.kind != K::Unknown) << c.body;
        ExpectSameAsNaive(types, c.body);
    }
}

TEST_F(ShippedConfiguration, OneHitMarkerServesNormalAndCriticalHits)
{
    const std::string& hit = config->analysis.format.attackHit;
    for (const char* result : {"*hit*", "*critical hit*"})
        EXPECT_NE(FindNoCase(result, hit), std::string_view::npos) << result;
    for (const char* result : {"*miss*", "*parried*", "*target concealed: 50%*",
                               "*attacker miss chance: 100%*", "*resisted*", "*failed*"})
        EXPECT_EQ(FindNoCase(result, hit), std::string_view::npos) << result;
}

TEST_F(ShippedConfiguration, ClassifyAgreesOnRealLogs)
{
    const std::string samples = test::SharedSamplesDir();
    if (!fs::is_directory(samples))
        GTEST_SKIP() << "no sample logs at " << samples;
    const RecordTypes& types = config->analysis.recordTypes;
    int records = 0;
    int attacks = 0;
    for (const auto& entry : fs::recursive_directory_iterator(samples)) {
        if (!entry.is_regular_file())
            continue;
        std::string text;
        ASSERT_FALSE(ReadWholeFile(entry.path().string(), text)) << entry.path();
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string_view line(text.data() + pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            pos = end + 1;
            if (line.size() <= 40)
                continue;
            const std::string_view body = line.substr(40);
            ExpectSameAsNaive(types, body);
            ++records;
            if (types.Classify(body).kind == RecordKind::Attack)
                ++attacks;
        }
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(records, 1000);
    EXPECT_GT(attacks, 100);
}

} // namespace
} // namespace tarvik
