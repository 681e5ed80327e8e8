#include "monitor/LogLister.h"

#include "TestSupport.h"
#include "util/FileUtil.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

std::vector<std::string> Names(const std::vector<LogListEntry>& logs)
{
    std::vector<std::string> names;
    for (const LogListEntry& log : logs)
        names.push_back(log.name);
    return names;
}

// The lister keeps its folder open between ticks; it must still see what
// changed in it, and a folder made anew, exactly as a fresh listing does.
TEST(LogLister, SeesWhatAFreshListingSees)
{
    test::TempDir dir;
    const std::string folder = dir.File("logs");
    std::filesystem::create_directory(folder);
    auto write = [&](const char* name) {
        ASSERT_FALSE(WriteFileAtomically(JoinPath(folder, name), "[CHAT WINDOW TEXT] x\n"));
    };
    const std::string mask = "nwclientLog*.txt";
    LogLister lister;
    EXPECT_TRUE(lister.List(folder, mask).empty());

    for (const char* name :
         {"nwclientLog2.txt", "NWCLIENTLOG1.txt", "other.txt", "nwclientLog10.txt"})
        write(name);
    std::filesystem::create_directory(JoinPath(folder, "nwclientLog3.txt"));
    EXPECT_EQ(Names(lister.List(folder, mask)), Names(ListLogs(folder, mask)));
    EXPECT_EQ(
        Names(lister.List(folder, mask)),
        (std::vector<std::string>{"NWCLIENTLOG1.txt", "nwclientLog10.txt", "nwclientLog2.txt"}));

    std::filesystem::remove(JoinPath(folder, "nwclientLog2.txt"));
    write("nwclientLog4.txt");
    EXPECT_EQ(
        Names(lister.List(folder, mask)),
        (std::vector<std::string>{"NWCLIENTLOG1.txt", "nwclientLog10.txt", "nwclientLog4.txt"}));

    // Removed: nothing; made anew: what the new folder holds.
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(lister.List(folder, mask).empty());
    std::filesystem::create_directory(folder);
    write("nwclientLog7.txt");
    EXPECT_EQ(Names(lister.List(folder, mask)), (std::vector<std::string>{"nwclientLog7.txt"}));

    // Another folder, and none at all.
    EXPECT_TRUE(lister.List(dir.File("missing"), mask).empty());
    EXPECT_TRUE(lister.List("", mask).empty());
    EXPECT_EQ(lister.List(folder, mask).size(), 1u);
}

} // namespace
} // namespace tarvik
