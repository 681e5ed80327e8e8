#include "cli/CliOptions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(CliOptions, FollowAndReportSections)
{
    std::string error;
    auto options = ParseCliOptions({"--fights", "--targets", "a.txt"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->fights);
    EXPECT_TRUE(options->targets);
    options = ParseCliOptions({"--follow", "logs", "--for", "30", "--json"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->followDir, "logs");
    EXPECT_EQ(options->forSeconds, 30);
    options = ParseCliOptions({"--html", "a.txt"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->html);
    options = ParseCliOptions(
        {"--serve", "[::]:8080", "--allow-host", "obs-pc", "--follow", "logs"}, error);
    ASSERT_TRUE(options && options->serve) << error;
    EXPECT_EQ(options->serve->address, "::");
    EXPECT_EQ(options->serve->port, 8080);
    EXPECT_EQ(options->allowedHosts, std::vector<std::string>{"obs-pc"});

    const std::pair<const char*, ErrorListing> listings[] = {
        {"a.txt", ErrorListing::None},
        {"--errors", ErrorListing::Problems},
        {"--errors=all", ErrorListing::All},
    };
    for (const auto& [arg, listing] : listings) {
        options = ParseCliOptions({arg, "b.txt"}, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->listErrors, listing) << arg;
    }

    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{"--errors=some", "a.txt"}, "Unknown option --errors=some."},
        {{"--follow", "logs", "a.txt"},
         "--follow reads the logs of its folder; give no LOG files with it."},
        {{"--for", "5", "a.txt"}, "--for only goes with --follow."},
        {{"--follow", "logs", "--for", "0"}, "--for takes a number of seconds, at least 1."},
        {{"--follow", "logs", "--for", "soon"}, "--for takes a number of seconds, at least 1."},
        {{"--follow"}, "--follow needs a value."},
        {{"--json", "--html", "a.txt"}, "--json and --html cannot go together."},
        {{"--follow", "logs", "--html"}, "--html does not go with --follow."},
        {{"--serve", "8080", "a.txt"},
         "--serve needs --follow DIR: it shows the logs as they are written."},
        {{"--follow", "logs", "--allow-host", "obs-pc"}, "--allow-host only goes with --serve."},
        {{"--follow", "logs", "--serve", "8080", "--allow-host", "obs-pc:8080"},
         "--allow-host takes a host name or IP address without a port."},
        {{"--follow", "logs", "--serve", "70000"},
         "--serve takes a port from 0 to 65535 (0: any free port)."},
    };
    for (const auto& [args, message] : wrong) {
        EXPECT_FALSE(ParseCliOptions(args, error)) << message;
        EXPECT_EQ(error, message);
    }
}

} // namespace
} // namespace tarvik
