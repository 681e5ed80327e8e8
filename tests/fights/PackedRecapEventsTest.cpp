#include "fights/PackedRecapEvents.h"

#include "fights/Fight.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace tarvik {
namespace {

RecapEvent Event(int64_t second, RecapKind kind)
{
    RecapEvent e;
    e.second = second;
    e.kind = kind;
    return e;
}

RecapEvent Blow(int64_t second, int32_t source, std::vector<RecapEvent::TypeAmount> types)
{
    RecapEvent e = Event(second, RecapKind::Damage);
    e.source = source;
    for (const auto& type : types) {
        e.amount += type.amount;
        e.types[e.typeCount++] = type;
    }
    return e;
}

RecapEvent Save(int64_t second, int32_t type, int32_t total, int32_t dc, bool success)
{
    RecapEvent e = Event(second, RecapKind::Save);
    e.type = type;
    e.amount = total;
    e.dc = dc;
    e.success = success;
    return e;
}

// A game date's second: about 63.9 billion seconds after the zero date.
constexpr int64_t Now = 63'900'000'000;

TEST(PackedRecapEvents, GivesBackEveryEventAsItWas)
{
    RecapEvent immunity = Event(Now, RecapKind::Immunity);
    immunity.type = 3;
    immunity.amount = 10;
    RecapEvent zeroAbsorb = Event(Now, RecapKind::Absorb); // an absorb of nothing
    RecapEvent extremes = Blow(Now, INT32_MAX, {{0, INT32_MIN}, {63, INT32_MAX}});
    extremes.amount = INT32_MIN;
    RecapEvent oddFields = Event(-Now, RecapKind::Healing); // fields a kind does not use
    oddFields.source = -5;
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
         {Save(Now - 15, 2, 24, 17, true), Blow(Now - 14, 2, {{0, 29}, {5, 2}}),
          Blow(Now - 14, 2, {{0, 31}}), immunity, zeroAbsorb, Event(Now, RecapKind::Healing)}},
        {"four types", {Blow(Now, 7, {{0, 1}, {1, 200}, {2, 30000}, {12, 4}})}},
        {"a save without a DC, failed", {Save(Now, 0, -3, -1, false)}},
        {"time going back and far ahead",
         {Event(Now, RecapKind::Healing), Event(Now - 3600, RecapKind::Healing),
          Event(Now + 86400 * 365, RecapKind::Healing), Event(0, RecapKind::Absorb)}},
        {"extreme amounts and IDs", {extremes}},
        {"fields its kind does not use", {oddFields}},
    };
    for (const Case& c : cases) {
        const PackedRecapEvents packed(c.events);
        EXPECT_EQ(packed.Size(), c.events.size()) << c.what;
        EXPECT_EQ(packed.Empty(), c.events.empty()) << c.what;
        EXPECT_EQ(packed.Unpack(), c.events) << c.what;
    }
}

TEST(PackedRecapEvents, ABlowTakesAFractionOfAnEvent)
{
    // A recap of a busy fight: a blow of two types every second.
    std::vector<RecapEvent> events;
    for (int32_t i = 0; i < 256; ++i)
        events.push_back(Blow(Now - 255 + i, 1200 + i % 5, {{0, 40 + i % 30}, {4, 3 + i % 9}}));
    const PackedRecapEvents packed(events);
    ASSERT_EQ(packed.Unpack(), events);
    EXPECT_LE(packed.Bytes(), events.size() * sizeof(RecapEvent) / 4);
}

TEST(PackedRecapEvents, AssignReplacesWhatWasHeld)
{
    PackedRecapEvents packed(std::vector<RecapEvent>{Blow(Now, 1, {{0, 5}}), Blow(Now, 2, {})});
    const std::vector<RecapEvent> one = {Save(Now + 1, 1, 20, 18, false)};
    packed.Assign(one);
    EXPECT_EQ(packed.Size(), 1u);
    EXPECT_EQ(packed.Unpack(), one);
    packed.Assign({});
    EXPECT_TRUE(packed.Empty());
    EXPECT_TRUE(packed.Unpack().empty());
}

} // namespace
} // namespace tarvik
