#include "TestSupport.h"
#include "app/Configuration.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

const char* const Ini = "[Log Format]\n"
                        "TimeStampBegin=21\n"
                        "TimeStampEnd=39\n"
                        "RecordBegin=41\n"
                        "[Real-time Monitoring]\n"
                        "RollingAverageInterval=2\n"
                        "FugueTimerWarning=30\n"
                        "FugueTimerExpiration=5\n"
                        "ABAverageRecords=20\n"
                        "[Types]\n"
                        "Damage Types=Physical\n"
                        "Short Damage Types=Phys\n"
                        "Save Types=Fort\n"
                        "[Record Types]\n"
                        "Attack=attacks\n";

TEST(FightGapSetting, DefaultWhenMissingClampedWhenOutOfRangeFatalWhenNoNumber)
{
    const test::TempDir dir;
    struct Case {
        const char* section;
        int32_t gap;         // expected
        const char* message; // fatal message, or empty
    };
    const Case cases[] = {
        {"", 15, ""},
        {"[Fights]\n", 15, ""},
        {"[Fights]\nFightGap=\n", 15, ""},
        {"[Fights]\nFightGap=30\n", 30, ""},
        {"[fights]\nfightgap=7.5\n", 8, ""},
        {"[Fights]\nFightGap=0\n", 1, ""},
        {"[Fights]\nFightGap=86400\n", 3600, ""},
        {"[Fights]\nFightGap=soon\n", 0, "ERROR:  FightGap cannot be non-numeric!"},
        {"[Fights]\nFightGap=9999999999\n", 0, "ERROR:  FightGap is out of range!"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("Tarvik.ini");
        ASSERT_FALSE(WriteFileAtomically(path, std::string(Ini) + c.section));
        const ConfigurationResult result = LoadConfiguration(path, "Tarvik");
        EXPECT_EQ(result.fatalMessage, c.message) << c.section;
        if (result.configuration) {
            EXPECT_EQ(result.configuration->analysis.fightGapSeconds, c.gap) << c.section;
        }
    }
    // The shipped file documents the key with its default.
    const ConfigurationResult shipped = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(shipped.configuration) << shipped.fatalMessage;
    EXPECT_EQ(shipped.configuration->analysis.fightGapSeconds, 15);
    EXPECT_EQ(shipped.configuration->analysis.format.attackMiss, "*miss*");
    EXPECT_EQ(shipped.configuration->analysis.format.attackCritical, "*critical hit*");
}

} // namespace
} // namespace tarvik
