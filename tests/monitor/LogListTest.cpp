#include "monitor/LogList.h"

#include "LogFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(LogMask, StarStandsForAnyNumberAndCaseIsIgnored)
{
    const std::string mask = "nwclientLog*.txt";
    EXPECT_TRUE(MatchesLogMask("nwclientLog1.txt", mask));
    EXPECT_TRUE(MatchesLogMask("nwclientLog10.txt", mask));
    EXPECT_TRUE(MatchesLogMask("NWCLIENTLOG2.TXT", mask));
    EXPECT_TRUE(MatchesLogMask("nwclientLog.txt", mask));
    EXPECT_FALSE(MatchesLogMask("nwengineLog.txt", mask));
    EXPECT_FALSE(MatchesLogMask("nwclientLog1.txt.bak", mask));
    EXPECT_FALSE(MatchesLogMask("old-nwclientLog1.txt", mask));
}

TEST(LogMask, StarTriesEveryLengthAndQuestionMarkTakesOneCharacter)
{
    EXPECT_TRUE(MatchesLogMask("a.txt.txt", "*.txt"));
    EXPECT_TRUE(MatchesLogMask("log7.txt", "log?.txt"));
    EXPECT_FALSE(MatchesLogMask("log17.txt", "log?.txt"));
    EXPECT_FALSE(MatchesLogMask("log.txt", "log?.txt"));
    EXPECT_TRUE(MatchesLogMask("x", "**"));
    EXPECT_FALSE(MatchesLogMask("", "?"));
}

TEST(LogList, ListsMatchingFilesSortedByName)
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
}

TEST(LogList, MissingFolderListsNothing)
{
    test::LogFolder logs;
    EXPECT_TRUE(ListLogs(logs.File("gone"), "nwclientLog*.txt").empty());
}

} // namespace
} // namespace tarvik
