#include "monitor/LogList.h"

#include "LogFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace tarvik {
namespace {

TEST(LogMask, StarTakesAnyRunQuestionMarkOneCharacterAndCaseIsIgnored)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"NWCLIENTLOG10.TXT", "nwclientLog*.txt", true},
        {"nwclientLog1.txt.bak", "nwclientLog*.txt", false},
        {"old-nwclientLog1.txt", "nwclientLog*.txt", false},
        {"a.txt.txt", "*.txt", true},
        {"log7.txt", "log?.txt", true},
        {"log17.txt", "log?.txt", false},
        {"", "?", false}};
    for (const auto& [name, mask, matches] : cases)
        EXPECT_EQ(MatchesLogMask(name, mask), matches) << name << " against " << mask;
}

TEST(LogList, ListsMatchingFilesSortedByNameAndNothingForAMissingFolder)
{
    test::LogFolder logs;
    for (const char* name : {"nwclientLog3.txt", "nwclientLog1.txt", "nwclientLog10.txt",
                             "nwclientLog2.txt", "nwengineLog.txt"})
        logs.Write(name, "x\r\n");
    std::filesystem::create_directory(logs.File("nwclientLog9.txt"));

    std::vector<std::string> names;
    for (const LogListEntry& log : ListLogs(logs.Path(), "nwclientLog*.txt"))
        names.push_back(log.name);
    EXPECT_EQ(names, (std::vector<std::string>{"nwclientLog1.txt", "nwclientLog10.txt",
                                               "nwclientLog2.txt", "nwclientLog3.txt"}));
    EXPECT_TRUE(ListLogs(logs.File("gone"), "nwclientLog*.txt").empty());
}

} // namespace
} // namespace tarvik
