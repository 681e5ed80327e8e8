#include "ui/LongWork.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Kind = LongWork::Kind;

// An analysis yields and an update check waits for the network; whatever
// comes meanwhile must not start inside the one that runs.
TEST(LongWork, NeitherStartsInsideTheOtherAndTheWaitingOneFollows)
{
    struct Case {
        Kind running;
        Kind requested;
        bool waits; // false: refused for good
    };
    const Case cases[] = {
        {Kind::Analysis, Kind::UpdateCheck, true},
        {Kind::UpdateCheck, Kind::Analysis, true},
        {Kind::Analysis, Kind::Analysis, false},
        {Kind::UpdateCheck, Kind::UpdateCheck, false},
    };
    for (const Case& c : cases) {
        LongWork work;
        ASSERT_TRUE(work.Start(c.running));
        EXPECT_FALSE(work.Start(c.requested));
        EXPECT_TRUE(work.Running(c.running));
        const std::optional<Kind> next = work.Finish(c.running);
        EXPECT_EQ(next, c.waits ? std::optional<Kind>(c.requested) : std::nullopt);
        EXPECT_FALSE(work.AnyRunning());
        // Handed back once only.
        EXPECT_TRUE(work.Start(c.running));
        EXPECT_FALSE(work.Finish(c.running));
    }
}

// The window is disabled by the analysis and again by a check inside it; the
// check's end must not give the window back while the analysis goes on.
TEST(LongWork, DisablingNestsAndOnlyTheLastEndEnables)
{
    LongWork work;
    work.Disable();
    work.Disable();
    EXPECT_FALSE(work.Enable());
    EXPECT_TRUE(work.Disabled());
    EXPECT_TRUE(work.Enable());
    EXPECT_FALSE(work.Disabled());
    // A stray end keeps the window usable and does not bank an enable.
    EXPECT_TRUE(work.Enable());
    work.Disable();
    EXPECT_TRUE(work.Disabled());
}

} // namespace
} // namespace tarvik
