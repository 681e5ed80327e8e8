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

    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{"--follow", "logs", "a.txt"},
         "--follow reads the logs of its folder; give no LOG files with it."},
        {{"--for", "5", "a.txt"}, "--for only goes with --follow."},
        {{"--follow", "logs", "--for", "0"}, "--for takes a number of seconds, at least 1."},
        {{"--follow", "logs", "--for", "soon"}, "--for takes a number of seconds, at least 1."},
        {{"--follow"}, "--follow needs a value."},
        {{"--json", "--html", "a.txt"}, "--json and --html cannot go together."},
        {{"--follow", "logs", "--html"}, "--html does not go with --follow."},
    };
    for (const auto& [args, message] : wrong) {
        EXPECT_FALSE(ParseCliOptions(args, error)) << message;
        EXPECT_EQ(error, message);
    }
}

} // namespace
} // namespace tarvik
