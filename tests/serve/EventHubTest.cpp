// The event streams' fan-out, without the network: every client gets every
// frame in order, and one that stops taking them is dropped, not waited for.
#include "serve/EventHub.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// Takes every frame waiting for a client, as its connection would send them.
std::vector<std::string> TakeAll(EventHub& hub, EventHub::ClientId id)
{
    std::vector<std::string> taken;
    while (const EventHub::Frame frame = hub.Front(id)) {
        taken.push_back(*frame);
        hub.Pop(id);
    }
    return taken;
}

TEST(EventHubTest, ASlowClientIsDroppedWhileTheOtherGetsEveryFrameInOrder)
{
    EventHub hub(16, 1000);
    int fastWakes = 0;
    int slowWakes = 0;
    const auto fast = hub.Join([&] { ++fastWakes; });
    const auto slow = hub.Join([&] { ++slowWakes; });
    ASSERT_TRUE(fast && slow);

    std::vector<std::string> published;
    std::vector<std::string> received;
    for (int i = 0; i < 30; ++i) {
        published.push_back("data: " + std::string(90, static_cast<char>('a' + i % 26)) + "\n\n");
        hub.Publish(published.back());
        // The fast client sends every frame before the next arrives; the
        // slow one sends nothing.
        for (const auto& frame : TakeAll(hub, *fast))
            received.push_back(frame);
        EXPECT_LE(hub.QueuedBytes(), 1000u + 98) << "after frame " << i;
    }

    EXPECT_EQ(received, published);
    EXPECT_EQ(fastWakes, 30); // each frame found its queue empty
    EXPECT_FALSE(hub.IsDropped(*fast));
    // 98-byte frames: eleven pass 1,000 bytes; the twelfth drops the client.
    EXPECT_TRUE(hub.IsDropped(*slow));
    EXPECT_EQ(slowWakes, 2); // the first frame, then the drop
    EXPECT_EQ(hub.Front(*slow), nullptr);
    hub.Publish("data: more\n\n");
    EXPECT_EQ(slowWakes, 2); // a dropped client hears no more
    hub.Leave(*slow);
    EXPECT_EQ(hub.ClientCount(), 1u);
}

TEST(EventHubTest, BoundsAndSingleFrames)
{
    EventHub hub(2, 100);
    const auto first = hub.Join({});
    const auto second = hub.Join({});
    EXPECT_FALSE(hub.Join({})) << "a third client while two are there";
    hub.Leave(*first);
    const auto third = hub.Join({});
    ASSERT_TRUE(third);

    // A frame above the bound still reaches a client within it; the next
    // one drops it.
    const std::string big(150, 'x');
    hub.Publish(big);
    ASSERT_NE(hub.Front(*second), nullptr);
    EXPECT_EQ(*hub.Front(*second), big);
    hub.Send(*third, "only for the third");
    EXPECT_TRUE(hub.IsDropped(*third));
    EXPECT_EQ(*hub.Front(*second), big) << "a frame for one client reaches no other";
    hub.Pop(*second);
    EXPECT_EQ(hub.Front(*second), nullptr);
    EXPECT_TRUE(hub.IsDropped(12345)) << "a client that never joined";
}

TEST(EventHubTest, EventFramesKeepEveryLineAField)
{
    const struct {
        const char* event;
        const char* data;
        const char* frame;
    } cases[] = {
        {"", R"({"type":"update"})", "data: {\"type\":\"update\"}\n\n"},
        {"current", "x", "event: current\ndata: x\n\n"},
        {"", "one\ntwo\r\nthree\rfour", "data: one\ndata: two\ndata: three\ndata: four\n\n"},
        {"", "", "data: \n\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EventFrame(c.event, c.data), c.frame) << c.data;
}

} // namespace
} // namespace tarvik
