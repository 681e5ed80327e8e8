// The server's rules that need no network: which Host names it answers,
// the --serve address, the current fight, lines handed on from a stream.
#include "serve/CurrentFight.h"
#include "serve/EventHub.h"
#include "serve/HostPolicy.h"
#include "serve/LineSink.h"
#include "serve/ListenAddress.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(HostPolicyTest, AnswersOnlyLoopbackItsOwnAddressAndAllowedNamesWithThePort)
{
    const struct {
        const char* bound;
        uint16_t port;
        const char* host;
        bool allowed;
    } cases[] = {
        {"127.0.0.1", 8080, "127.0.0.1:8080", true},
        {"127.0.0.1", 8080, "localhost:8080", true},
        {"127.0.0.1", 8080, "LocalHost:8080", true},
        {"127.0.0.1", 8080, "[::1]:8080", true},
        {"127.0.0.1", 8080, "obs-pc:8080", true}, // allowed below
        {"127.0.0.1", 8080, "OBS-PC:8080", true}, // names are case-insensitive
        {"127.0.0.1", 8080, "192.168.1.7:8080", true},
        {"127.0.0.1", 8080, "[fe80::2]:8080", true},
        {"192.168.1.5", 8080, "192.168.1.5:8080", true}, // the bound address
        {"::1", 8080, "[::1]:8080", true},
        {"127.0.0.1", 80, "localhost", true}, // port 80 may go unnamed
        // DNS rebinding: another site's name on this address.
        {"127.0.0.1", 8080, "evil.example:8080", false},
        {"127.0.0.1", 8080, "localhost.evil.example:8080", false},
        {"127.0.0.1", 8080, "localhost:8081", false},
        {"127.0.0.1", 8080, "localhost", false},
        {"127.0.0.1", 8080, "localhost:", false},
        {"127.0.0.1", 8080, "localhost:+8080", false},
        {"127.0.0.1", 8080, "localhost:08080", true}, // the same number
        {"127.0.0.1", 8080, "localhost:80800", false},
        {"127.0.0.1", 8080, "[::1]", false},
        {"127.0.0.1", 8080, "[::1:8080", false},
        {"127.0.0.1", 8080, "::1:8080", false},
        {"127.0.0.1", 8080, "", false},
        {"127.0.0.1", 8080, ":8080", false},
        // A wildcard address names no host of its own.
        {"0.0.0.0", 8080, "0.0.0.0:8080", false},
        {"::", 8080, "[::]:8080", false},
        {"0.0.0.0", 8080, "127.0.0.1:8080", true},
    };
    for (const auto& c : cases) {
        const HostPolicy policy(c.bound, c.port, {"obs-pc", "192.168.1.7", "fe80::2"});
        EXPECT_EQ(policy.Allows(c.host), c.allowed) << c.bound << " " << c.host;
    }
    EXPECT_TRUE(IsAllowableHostName("obs-pc.local"));
    EXPECT_TRUE(IsAllowableHostName("fe80::2"));
    EXPECT_FALSE(IsAllowableHostName("obs-pc:8080")) << "a port";
    EXPECT_FALSE(IsAllowableHostName("http://obs-pc"));
    EXPECT_FALSE(IsAllowableHostName(""));
}

TEST(ListenAddressTest, ParsesAddressAndPort)
{
    const struct {
        const char* text;
        bool valid;
        const char* address;
        uint16_t port;
    } cases[] = {
        {"8080", true, "127.0.0.1", 8080},
        {"0", true, "127.0.0.1", 0},
        {"65535", true, "127.0.0.1", 65535},
        {"0.0.0.0:8080", true, "0.0.0.0", 8080},
        {"192.168.1.5:80", true, "192.168.1.5", 80},
        {"localhost:9000", true, "127.0.0.1", 9000},
        {"[::1]:8080", true, "::1", 8080},
        {"[::]:0", true, "::", 0},
        {"65536", false, "", 0},
        {"-1", false, "", 0},
        {"+80", false, "", 0},
        {"80x", false, "", 0},
        {"", false, "", 0},
        {":8080", false, "", 0},
        {"127.0.0.1:", false, "", 0},
        {"::1:8080", false, "", 0},
        {"[::1]8080", false, "", 0},
        {"[::1", false, "", 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto parsed = ParseListenAddress(c.text, error);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.text;
        if (parsed) {
            EXPECT_EQ(parsed->address, c.address) << c.text;
            EXPECT_EQ(parsed->port, c.port) << c.text;
        } else {
            EXPECT_FALSE(error.empty()) << c.text;
        }
    }
}

TEST(CurrentFightTest, TheRunningFightElseTheLastEndedOneNeverAnOlderOne)
{
    const struct {
        const char* line;
        bool becomesCurrent;
    } steps[] = {
        {R"({"type":"death","fight":1,"name":"Drogo"})", false},
        {R"({"type":"update","time":"t","fight":1,"name":"Ogre"})", true},
        {R"({"type":"update","time":"t2","fight":1,"name":"Ogre"})", true},
        {R"({"type":"fight","number":1,"name":"Ogre","characters":[{"name":"x"}]})", true},
        {R"({"type":"update","time":"t3","fight":2,"name":"Wolf"})", true},
        // Fight 1 reprinted because late lines changed it: fight 2 stays.
        {R"j({"type":"fight","number":1,"name":"Ogre (+1)"})j", false},
        {R"({"type":"fight","number":2,"name":"Wolf"})", true},
        {R"({"type":"summary","fights":[{"number":9}]})", false},
        {"not json", false},
        {R"({"type":"update","fight":"3"})", false},
        {R"({"type":"update"})", false},
        {R"(["update",3])", false},
    };
    CurrentFight current;
    EXPECT_TRUE(current.Line().empty());
    std::string expected;
    for (const auto& step : steps) {
        EXPECT_EQ(current.Offer(step.line), step.becomesCurrent) << step.line;
        if (step.becomesCurrent)
            expected = step.line;
        EXPECT_EQ(current.Line(), expected) << step.line;
    }
}

TEST(LineSinkTest, HandsOnCompleteLinesHoweverTheyAreWritten)
{
    std::vector<std::string> lines;
    LineSink sink([&](std::string_view line) { lines.emplace_back(line); });
    std::ostream out(&sink);
    out << "{\"a\":1}\n{\"b\"" << ':' << 2 << "}\n";
    out << "half";
    out.flush();
    EXPECT_EQ(lines, (std::vector<std::string>{R"({"a":1})", R"({"b":2})"}));
    out << " and the rest\n\n";
    EXPECT_EQ(lines,
              (std::vector<std::string>{R"({"a":1})", R"({"b":2})", "half and the rest", ""}));
}

// The event streams' fan-out, without the network: every client gets every
// frame in order, and one that stops taking them is dropped, not waited for.
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
