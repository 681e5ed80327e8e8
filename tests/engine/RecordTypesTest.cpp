#include "config/RecordTypes.h"

#include "TestSupport.h"
#include "config/Configuration.h"
#include "config/RecordKind.h"
#include "config/RecordType.h"
#include "util/Text.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {
namespace {

RecordType MakeType(const std::string& name, const std::vector<std::string>& identifiers)
{
    RecordType type;
    type.CreateRecordType(name, identifiers);
    return type;
}

using TypeList = std::vector<std::pair<std::string, std::vector<std::string>>>;

RecordTypes MakeTypes(const TypeList& list)
{
    RecordTypes types;
    for (const auto& [name, identifiers] : list)
        EXPECT_TRUE(types.Add(MakeType(name, identifiers))) << name;
    types.Build();
    return types;
}

// "Type/identifier" of the classification of body, or "none".
std::string Classified(const RecordTypes& types, std::string_view body)
{
    const RecordTypes::Match match = types.Classify(body);
    return match ? match.type->Name() + "/" + std::string(match.identifier) : "none";
}

// The classification rule in its plainest form: ask each type in order.
std::string NaiveClassified(const RecordTypes& types, std::string_view body)
{
    for (const RecordType& type : types.Types()) {
        std::string matched;
        if (type.IsThis(body, &matched))
            return type.Name() + "/" + matched;
    }
    return "none";
}

void ExpectSameAsNaive(const RecordTypes& types, std::string_view body)
{
    ASSERT_EQ(Classified(types, body), NaiveClassified(types, body)) << "body: \"" << body << '"';
    // The records are cut where the identifier first occurs.
    if (const RecordTypes::Match match = types.Classify(body)) {
        ASSERT_EQ(match.position, FindNoCase(body, match.identifier)) << "body: \"" << body << '"';
    }
}

TEST(RecordTypes, EarlierTypeWinsThenEarlierIdentifierWhateverTheirPlaceOrLength)
{
    const TypeList combat = {
        {"Chat", {"[Party]", "[tell]"}}, {"Attack", {"ATTACKS"}}, {"Damage", {"damages"}}};
    const TypeList withEmpty = {
        {"Chat", {"[party]"}}, {"Any", {"x", "", "y"}}, {"Attack", {"attacks"}}};
    const TypeList hitFirst = {{"Hit", {"hit"}}, {"Critical", {"critical hit"}}};
    const TypeList criticalFirst = {{"Critical", {"critical hit"}}, {"Hit", {"hit"}}};
    const TypeList longFirst = {{"Long", {"xyz long identifier"}}, {"Short", {"x"}}};
    const TypeList saves = {{"Save", {"will save", "fortitude save"}}};
    struct Case {
        const TypeList& list;
        const char* body;
        const char* expected;
    };
    const Case cases[] = {
        {combat, "Bob: [party] Drogo ATTACKS and damages", "Chat/[party]"},
        {combat, "Drogo damages Bear and attacks again", "Attack/attacks"},
        {hitFirst, "*critical hit*", "Hit/hit"},
        {criticalFirst, "*critical hit*", "Critical/critical hit"},
        {longFirst, "x first, then xyz long identifier", "Long/xyz long identifier"},
        {saves, "Fortitude Save, then Will Save", "Save/will save"},
        // An empty identifier is in every text but the empty one.
        {withEmpty, "Drogo attacks Bear", "Any/"},
        {withEmpty, "xylophone", "Any/x"},
        {withEmpty, "", "none"}};
    for (const auto& c : cases) {
        const RecordTypes types = MakeTypes(c.list);
        EXPECT_EQ(Classified(types, c.body), c.expected) << c.body;
        ExpectSameAsNaive(types, c.body);
    }
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

    // A new list of types, and every shorter list on the way to it, as the
    // loader adds the types one by one.
    std::vector<RecordTypes> GrowingTypes()
    {
        identifiers_.clear();
        std::vector<RecordTypes> lists(1);
        for (int t = Uniform(1, 6); t > 0; --t) {
            std::vector<std::string> ids(Uniform<size_t>(1, 5));
            for (auto& id : ids) {
                identifiers_.push_back(Identifier());
                id = FlipCase(identifiers_.back());
            }
            lists.push_back(lists.back());
            lists.back().Add(MakeType("Type" + std::to_string(t), ids));
            lists.back().Build();
        }
        return lists;
    }

    std::string Body()
    {
        // Up to about a hundred bytes: scans step over chunk and block ends.
        std::string body = Text(0, 40);
        for (int p = Uniform(0, 3); p > 0; --p)
            body += FlipCase(Known()) + Text(0, 16);
        return body;
    }

private:
    template <class T>
    T Uniform(T low, T high)
    {
        return std::uniform_int_distribution<T>(low, high)(random_);
    }
    std::string Known() { return identifiers_[Uniform<size_t>(0, identifiers_.size() - 1)]; }
    std::string Identifier()
    {
        const int roll = Uniform(0, 19);
        if (roll == 0)
            return {};
        std::string base = identifiers_.empty() ? std::string() : Known();
        if (roll >= 8 || base.empty())
            return Text(1, 6);
        if (roll < 4) // a prefix, a suffix or an extension of an earlier one
            return base.substr(0, Uniform<size_t>(1, base.size()));
        if (roll < 6)
            return base.substr(Uniform<size_t>(0, base.size() - 1));
        return base + Text(1, 3);
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
    // Few letters with Windows-1252 case partners make identifiers collide
    // often; all bytes exercise the folding.
    const std::pair<std::string, int> runs[] = {{"abcAB :*\xC9\xE9\x8A\x9A", 2000},
                                                {allBytes, 200}};
    for (const auto& [alphabet, rounds] : runs) {
        RandomTypes random(20260601, alphabet);
        for (int round = 0; round < rounds && !HasFatalFailure(); ++round) {
            for (const RecordTypes& types : random.GrowingTypes()) {
                // Before Build, the answers are the same, only slower; so
                // are those of every narrower scan the processor runs.
                RecordTypes unbuilt;
                for (const RecordType& type : types.Types())
                    unbuilt.Add(type);
                RecordTypes portable = unbuilt;
                portable.Build(TripleByteFilter::Width::Portable);
                RecordTypes sixteen = unbuilt;
                sixteen.Build(TripleByteFilter::Width::Sixteen);
                for (int b = 0; b < 8; ++b) {
                    const std::string body = random.Body();
                    ExpectSameAsNaive(types, body);
                    EXPECT_EQ(Classified(unbuilt, body), Classified(types, body));
                    EXPECT_EQ(Classified(portable, body), Classified(types, body));
                    EXPECT_EQ(Classified(sixteen, body), Classified(types, body));
                }
            }
        }
    }
}

// More types, identifiers of one type and distinct two-byte beginnings than
// 16 bits can number: every search ends, and finds what the walk finds.
TEST(RecordTypes, CountsBeyondSixteenBitsClassifyLikeTheWalk)
{
    std::string folded; // bytes that are their own lower case: ~200 of them
    for (int b = 1; b < 256; ++b) {
        if (ToLowerChar(static_cast<char>(b)) == static_cast<char>(b))
            folded.push_back(static_cast<char>(b));
    }
    const size_t pairs = folded.size() * folded.size();
    ASSERT_GT(pairs, 32'768u);
    const auto identifier = [&](size_t k) {
        return std::string{folded[k % folded.size()], folded[k / folded.size() % folded.size()],
                           static_cast<char>('0' + k / pairs)};
    };
    RecordTypes types;
    const size_t count = 70'000;
    for (size_t k = 0; k < count; ++k)
        ASSERT_TRUE(types.Add(MakeType("T" + std::to_string(k), {identifier(k)})));
    std::vector<std::string> many(count, "never");
    many.back() = "last one";
    ASSERT_TRUE(types.Add(MakeType("Many", many)));
    types.Build();
    for (const size_t k : {size_t{0}, size_t{32'767}, size_t{32'768}, pairs - 1, pairs, count - 1})
        ExpectSameAsNaive(types, "<" + identifier(k) + ">");
    EXPECT_EQ(Classified(types, "the last one"), "Many/last one");
    EXPECT_EQ(types.Find("t69999"), &types.Types()[count - 1]);
}

// Records whose kind rests on the order and wording of the shipped types and
// that the bundled samples do not hold.
TEST(ShippedConfiguration, LoadsCleanlyAndClassifiesRealLookingRecords)
{
    const ConfigurationResult result = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_TRUE(result.warnings.empty());
    using K = RecordKind;
    const std::pair<const char*, RecordKind> cases[] = {
        {"SAVE: Ash-Tusk Clan High Priest : Fort Save vs. Mind Spell : *failed* : (3 + 29 vs. DC: "
         "45)",
         K::Save},
        {"Take 20 : Morrico : Disable Trap : *success* : (20 + 32 = 52 vs. DC: 49)", K::Unknown}};
    const RecordTypes& types = result.configuration->analysis.recordTypes;
    for (const auto& [body, kind] : cases) {
        EXPECT_EQ(types.Classify(body).kind, kind) << body;
        ExpectSameAsNaive(types, body);
    }
}

} // namespace
} // namespace tarvik
