#include "TestSupport.h"
#include "app/Configuration.h"
#include "app/IniFile.h"
#include "app/SettingsStore.h"
#include "app/UserOptions.h"
#include "util/FileUtil.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string ReadText(const std::string& path)
{
    std::string text;
    EXPECT_FALSE(ReadWholeFile(path, text)) << path;
    return text;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(IniDocument, ReadsTheWayWindowsProfilesDo)
{
    const IniDocument ini = IniDocument::Parse("; Tarvik\n"
                                               "[Log Format]\n"
                                               "  TimeStampBegin =  21  \n"
                                               "AttackHit = \"  hit* \"\n"
                                               "Quoted='single'\n"
                                               "Unbalanced=\"open\n"
                                               "Empty=\"\"\n"
                                               "ABEnd==\n"
                                               "Inline=1 ; part of the value\n"
                                               ";Commented=1\n"
                                               "attackhit=second\n"
                                               "[log format]\n"
                                               "TimeStampBegin=99\n"
                                               "[Other]\n"
                                               "timestampbegin=5\n");
    const std::pair<const char*, const char*> values[] = {{"timestampbegin", "21"},
                                                          {"AttackHit", "  hit* "},
                                                          {"Quoted", "single"},
                                                          {"Unbalanced", "\"open"},
                                                          {"Empty", ""},
                                                          {"ABEnd", "="},
                                                          {"Inline", "1 ; part of the value"},
                                                          {"Commented", ""}};
    for (const auto& [key, value] : values)
        EXPECT_EQ(ini.Value("LOG FORMAT", key), value) << key;
    EXPECT_EQ(ini.Value("Other", "TimeStampBegin"), "5");
    EXPECT_EQ(ini.Value("Missing", "TimeStampBegin"), "");
    EXPECT_TRUE(ini.HasKey("log format", "EMPTY"));
    EXPECT_FALSE(ini.HasKey("Log Format", "Commented"));
    const std::vector<std::string> keys = ini.Keys("Log Format");
    ASSERT_GE(keys.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 7),
              (std::vector<std::string>{"TimeStampBegin", "AttackHit", "Quoted", "Unbalanced",
                                        "Empty", "ABEnd", "Inline"}));
}

class IniFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir.File("Tarvik.ini"); }
    test::TempDir dir;
};

TEST_F(IniFileTest, ReadsFromFile)
{
    EXPECT_EQ(ReadINI(Path(), "Types", "Save Types"), "");
    EXPECT_EQ(ReadINIKeyList(Path(), "Record Types"), "");
    ASSERT_FALSE(WriteFileAtomically(Path(),
                                     "[Types]\r\nSave Types = Fort,Reflex,Will\r\n"
                                     "[Record Types]\r\nChat=[party]\r\nAttack=attacks\r\n"));
    EXPECT_EQ(ReadINI(Path(), "types", "save types"), "Fort,Reflex,Will");
    EXPECT_EQ(ReadINIKeyList(Path(), "Record Types"), "Chat\0Attack\0"s);
}

TEST_F(IniFileTest, WriteKeepsCommentsAndLineEndsAndReplacesInPlace)
{
    ASSERT_FALSE(WriteFileAtomically(Path(), "; Tarvik settings\r\n"
                                             "[Updates]\r\n"
                                             "; Where to look.\r\n"
                                             "URL=https://updates.example.org/Update.ini\r\n"
                                             "LastUpdateCheck=\r\n"
                                             "\r\n"
                                             "[Real-time Monitoring]\r\n"
                                             "; Minutes.\r\n"
                                             "RollingAverageInterval=2\r\n"));
    EXPECT_TRUE(WriteINI(Path(), "updates", "lastupdatecheck", "06/01/2026 01:05:09 PM"));
    EXPECT_TRUE(WriteINI(Path(), "Updates", "Channel", "stable"));
    EXPECT_TRUE(WriteINI(Path(), "Real-time Monitoring", "RollingAverageInterval", "3"));
    EXPECT_TRUE(WriteINI(Path(), "Brand New", "Key", "value"));
    EXPECT_EQ(ReadText(Path()), "; Tarvik settings\r\n"
                                "[Updates]\r\n"
                                "; Where to look.\r\n"
                                "URL=https://updates.example.org/Update.ini\r\n"
                                "LastUpdateCheck=06/01/2026 01:05:09 PM\r\n"
                                "Channel=stable\r\n"
                                "\r\n"
                                "[Real-time Monitoring]\r\n"
                                "; Minutes.\r\n"
                                "RollingAverageInterval=3\r\n"
                                "\r\n"
                                "[Brand New]\r\n"
                                "Key=value\r\n");
    EXPECT_EQ(ReadINI(Path(), "Updates", "LastUpdateCheck"), "06/01/2026 01:05:09 PM");
    // The file is replaced whole: no temporary file stays behind.
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Tarvik.ini"});
}

TEST_F(IniFileTest, WriteCreatesMissingFileAndFailsWithoutHarm)
{
    EXPECT_TRUE(WriteINI(Path(), "Updates", "URL", "https://example.org/Update.ini"));
    EXPECT_EQ(ReadText(Path()), "[Updates]\nURL=https://example.org/Update.ini\n");

    EXPECT_FALSE(WriteINI(dir.File("missing/Tarvik.ini"), "A", "B", "C"));
    fs::remove(Path());
    fs::create_directory(Path());
    EXPECT_FALSE(WriteINI(Path(), "A", "B", "C"));
    EXPECT_TRUE(fs::is_directory(Path()));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Tarvik.ini"});
}

// A small valid configuration; each test edits lines of it.
const char* const BaseIni = "[Log Format]\n"
                            "TimeStampBegin=21\n"
                            "TimeStampEnd=39\n"
                            "TimeStampMinLength=15\n"
                            "RecordBegin=41\n"
                            "RecordEnd=\n"
                            "RecordDeliminator=:\n"
                            "ABEnd==\n"
                            "CharIDEnd=: Initiative Roll\n"
                            "[Real-time Monitoring]\n"
                            "RollingAverageInterval=2\n"
                            "FugueTimerWarning=30\n"
                            "FugueTimerExpiration=5\n"
                            "ABAverageRecords=20\n"
                            "[Monitoring]\n"
                            "WindowTitle=Neverwinter Nights\n"
                            "WindowClass=nwmain\n"
                            "[Types]\n"
                            "Damage Types=Physical,Fire\n"
                            "Short Damage Types=Phys,Fire\n"
                            "Save Types=Fort,Reflex,Will\n"
                            "[Record Types]\n"
                            "Chat=[party]\n"
                            "Attack=attacks\n";
const char* const BaseRecordTypes = "[Record Types]\nChat=[party]\nAttack=attacks\n";

using Edits = std::vector<std::pair<std::string, std::string>>;

class ConfigurationTest : public ::testing::Test {
protected:
    ConfigurationResult Load(const Edits& edits)
    {
        std::string text = BaseIni;
        for (const auto& [from, to] : edits) {
            const size_t at = text.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos)
                text.replace(at, from.size(), to);
        }
        EXPECT_FALSE(WriteFileAtomically(dir.File("Tarvik.ini"), text));
        return LoadConfiguration(dir.File("Tarvik.ini"), "Tarvik");
    }
    test::TempDir dir;
};

TEST_F(ConfigurationTest, MissingFileIsFatal)
{
    const std::string message = "The Tarvik.ini file does not exist!\n"
                                "This is required for the program to run.\n\n"
                                "Please re-install the program using the setup.";
    ConfigurationResult result = LoadConfiguration(dir.File("Tarvik.ini"), "Tarvik");
    EXPECT_FALSE(result.configuration);
    EXPECT_EQ(result.fatalMessage, message);
    fs::create_directory(dir.File("Tarvik.ini"));
    result = LoadConfiguration(dir.File("Tarvik.ini"), "Tarvik");
    EXPECT_FALSE(result.configuration);
    EXPECT_EQ(result.fatalMessage, message);
    EXPECT_EQ(ConfigurationPath(dir.Path(), "Tarvik"), dir.File("Tarvik.ini"));
}

TEST_F(ConfigurationTest, FatalMessages)
{
    struct Case {
        Edits edits;
        const char* message;
    };
    const Case cases[] = {
        {{{"TimeStampBegin=21", "TimeStampBegin=abc"}},
         "ERROR:  TimeStampBegin cannot be non-numeric!"},
        {{{"TimeStampBegin=21\n", ""}}, "ERROR:  TimeStampBegin cannot be non-numeric!"},
        {{{"TimeStampEnd=39", "TimeStampEnd=3 9"}}, "ERROR:  TimeStampEnd cannot be non-numeric!"},
        {{{"RecordBegin=41", "RecordBegin="}}, "ERROR:  RecordBegin cannot be non-numeric!"},
        {{{"RecordEnd=", "RecordEnd=end"}}, "ERROR:  RecordEnd cannot be non-numeric!"},
        {{{"RollingAverageInterval=2", "RollingAverageInterval=two"}},
         "ERROR:  RollingAverageInterval cannot be non-numeric!"},
        {{{"FugueTimerWarning=30", "FugueTimerWarning=x"},
          {"FugueTimerExpiration=5", "FugueTimerExpiration=y"}},
         "ERROR:  FugueTimerWarning cannot be non-numeric!"},
        {{{"FugueTimerExpiration=5", "FugueTimerExpiration="}},
         "ERROR:  FugueTimerExpiration cannot be non-numeric!"},
        {{{"ABAverageRecords=20", "ABAverageRecords=1,000"}},
         "ERROR:  ABAverageRecords cannot be non-numeric!"},
        // The first problem in reading order is the one reported.
        {{{"TimeStampEnd=39", "TimeStampEnd=?"},
          {"Damage Types=Physical,Fire", "Damage Types="},
          {BaseRecordTypes, ""}},
         "ERROR:  TimeStampEnd cannot be non-numeric!"},
        {{{"Damage Types=Physical,Fire", "Damage Types="}},
         "ERROR:  No Damage Types found in INI file!"},
        {{{"[Types]", "[Other Types]"}}, "ERROR:  No Damage Types found in INI file!"},
        {{{"Short Damage Types=Phys,Fire", "Short Damage Types="}},
         "ERROR:  No Short Damage Types found in INI file!"},
        {{{"Short Damage Types=Phys,Fire", "Short Damage Types=Phys"}},
         "ERROR:  The damage types and short damage types do not match!"},
        {{{"Damage Types=Physical,Fire", "Damage Types=Physical,Fire,Acid"}},
         "ERROR:  The damage types and short damage types do not match!"},
        {{{"Save Types=Fort,Reflex,Will", "Save Types= , ,"}},
         "ERROR:  No Save Types found in INI file!"},
        {{{BaseRecordTypes, ""}}, "ERROR:  No Record Types found in INI file!"},
        {{{"Chat=[party]\nAttack=attacks\n", "; no types yet\n"}},
         "ERROR:  No Record Types found in INI file!"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edits.front().second);
        const ConfigurationResult result = Load(c.edits);
        EXPECT_FALSE(result.configuration);
        EXPECT_EQ(result.fatalMessage, c.message);
    }
}

TEST_F(ConfigurationTest, TimestampPositions)
{
    struct Case {
        const char* begin;
        const char* end;
        int32_t expectedBegin;
        int32_t expectedLength;
    };
    const Case cases[] = {{"21", "39", 21, 19},      {"0", "19", 1, 19},
                          {"-5", "0", 1, 99999},     {"30", "20", 30, 99999},
                          {"21", "21", 21, 1},       {"20.5", "38.5", 20, 19},
                          {"21.5", "39.5", 22, 19},  {"\" 21 \"", "\" 39\"", 21, 19},
                          {"2.1e1", "3.9e1", 21, 19}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.begin << " " << c.end);
        const ConfigurationResult result =
            Load({{"TimeStampBegin=21", "TimeStampBegin="s + c.begin},
                  {"TimeStampEnd=39", "TimeStampEnd="s + c.end}});
        ASSERT_TRUE(result.configuration) << result.fatalMessage;
        EXPECT_EQ(result.configuration->analysis.format.timeStampBegin, c.expectedBegin);
        EXPECT_EQ(result.configuration->analysis.format.timeStampLength, c.expectedLength);
    }
}

TEST_F(ConfigurationTest, LoadsValuesAndLists)
{
    const ConfigurationResult result =
        Load({{"TimeStampMinLength=15", "TimeStampMinLength=short"},
              {"RecordBegin=41", "RecordBegin=0"},
              {"RollingAverageInterval=2", "RollingAverageInterval=2.5"},
              {"ABAverageRecords=20", "ABAverageRecords=3.5"},
              {"Damage Types=Physical,Fire", "Damage Types= Physical , Fire "},
              {"Short Damage Types=Phys,Fire", "Short Damage Types=Phys ,Fire"},
              {"WindowClass=nwmain", "WindowClass="}});
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_TRUE(result.warnings.empty());
    const Configuration& config = *result.configuration;
    const LogFormat& format = config.analysis.format;
    EXPECT_EQ(format.timeStampMinLength, 0);
    EXPECT_EQ(format.recordBegin, 1);
    EXPECT_EQ(format.recordEnd, 0);
    EXPECT_EQ(format.recordDeliminator, ":");
    EXPECT_EQ(format.abEnd, "=");
    EXPECT_EQ(format.charIdEnd, ": Initiative Roll");
    EXPECT_EQ(config.realTime.rollingAverageInterval, 2);
    EXPECT_EQ(config.realTime.fugueTimerWarning, 30);
    EXPECT_EQ(config.realTime.fugueTimerExpiration, 5);
    EXPECT_EQ(config.realTime.abAverageRecords, 4);
    EXPECT_EQ(config.analysis.damageTypes, (std::vector<std::string>{"Physical", "Fire", "Total"}));
    EXPECT_EQ(config.analysis.shortDamageTypes,
              (std::vector<std::string>{"Phys", "Fire", "Total"}));
    EXPECT_EQ(config.analysis.DamageTypeCount(), 3);
    EXPECT_EQ(config.analysis.saveTypes, (std::vector<std::string>{"Fort", "Reflex", "Will"}));
    EXPECT_EQ(config.windowTitle, "Neverwinter Nights");
    EXPECT_FALSE(config.GameDetectionConfigured());
}

TEST_F(ConfigurationTest, RecordTypesWithoutIdentifiersAreWarnedAndSkipped)
{
    const ConfigurationResult result =
        Load({{BaseRecordTypes, "[Record Types]\nChat=[Party], [TELL]\nEmpty=\n"
                                "Only Commas= , ,, \nattack=attacks\nKill=killed\n"}});
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_EQ(result.warnings,
              (std::vector<std::string>{
                  "ERROR:  Record type EMPTY does not have any identifiers in it's value.",
                  "ERROR:  Record type ONLY COMMAS does not have any identifiers in it's value."}));
    const RecordTypes& types = result.configuration->analysis.recordTypes;
    ASSERT_EQ(types.Count(), 3);
    EXPECT_EQ(types.Types()[0].Name(), "Chat");
    EXPECT_EQ(types.Types()[0].Identifiers(), (std::vector<std::string>{"[party]", "[tell]"}));
    EXPECT_EQ(types.Types()[1].Name(), "attack");
    EXPECT_EQ(types.Types()[2].Name(), "Kill");

    // With every type skipped the file still loads; nothing will classify.
    const ConfigurationResult none = Load({{BaseRecordTypes, "[Record Types]\nChat=,\n"}});
    ASSERT_TRUE(none.configuration) << none.fatalMessage;
    EXPECT_EQ(none.warnings.size(), 1u);
    EXPECT_EQ(none.configuration->analysis.recordTypes.Count(), 0);
}

TEST(UserOptions, DefaultsOnAnEmptyStore)
{
    MemorySettingsStore store;
    const UserOptions options = LoadUserOptions(store, {0x112233, 0x445566, 0x778899});
    EXPECT_EQ(options.logDirectory, "");
    EXPECT_FALSE(options.autodetectParty);
    EXPECT_TRUE(options.monitorNWNProcess);
    EXPECT_TRUE(options.audibleFugueTimerAlerts);
    EXPECT_FALSE(options.alwaysOnTop);
    EXPECT_EQ(options.opacityPercent, 100);
    EXPECT_EQ(options.windowForegroundColor, 0x112233);
    EXPECT_EQ(options.windowBackgroundColor, 0x445566);
    EXPECT_EQ(options.controlForegroundColor, 0);
    EXPECT_EQ(options.controlBackgroundColor, 0x778899);
    EXPECT_EQ(store.Size(), 0u);
}

TEST(UserOptions, OpacityIsClamped)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"5", 20},    {"19", 20},  {"20", 20},   {"55", 55}, {"100", 100},
        {"250", 100}, {"-40", 20}, {"abc", 100}, {"", 100},  {"19.5", 20}};
    for (const auto& [stored, opacity] : cases) {
        MemorySettingsStore store;
        store.Write("HUDOptions", "Opacity", stored);
        EXPECT_EQ(LoadUserOptions(store, {}).opacityPercent, opacity) << stored;
    }
}

TEST(UserOptions, FlagsAreOnForAnyNonZeroNumber)
{
    struct Case {
        const char* stored;
        bool defaultOff; // AutodetectParty
        bool defaultOn;  // MonitorNWNProcess, detail window on top
    };
    const Case cases[] = {{"-1", true, true},    {"0", false, false},   {"1", true, true},
                          {"2", true, true},     {"0.0", false, false}, {" -1 ", true, true},
                          {"True", false, true}, {"", false, true},     {"yes", false, true}};
    for (const auto& c : cases) {
        MemorySettingsStore store;
        store.Write("UserOptions", "AutodetectParty", c.stored);
        store.Write("UserOptions", "MonitorNWNProcess", c.stored);
        store.Write("DetailWindow", "AlwaysOnTop", c.stored);
        const UserOptions options = LoadUserOptions(store, {});
        EXPECT_EQ(options.autodetectParty, c.defaultOff) << c.stored;
        EXPECT_EQ(options.monitorNWNProcess, c.defaultOn) << c.stored;
        EXPECT_EQ(ReadDetailWindowOnTop(store), c.defaultOn) << c.stored;
    }
}

TEST(UserOptions, SaveWritesFlagsAndSignedColoursThatReadBack)
{
    UserOptions options;
    options.logDirectory = "/home/player/logs";
    options.autodetectParty = true;
    options.monitorNWNProcess = false;
    options.opacityPercent = 65;
    options.windowForegroundColor = -2147483633; // a system colour
    options.windowBackgroundColor = 0x00FF8040;
    options.controlBackgroundColor = -1;
    MemorySettingsStore store;
    SaveUserOptions(store, options, nullptr);
    EXPECT_EQ(store.Read("UserOptions", "AutodetectParty"), "-1");
    EXPECT_EQ(store.Read("UserOptions", "MonitorNWNProcess"), "0");
    EXPECT_EQ(store.Read("MainWindow", "AlwaysOnTop"), "0");
    EXPECT_EQ(store.Read("HUDOptions", "WindowForegroundColor"), "-2147483633");
    EXPECT_EQ(store.Read("HUDOptions", "WindowBackgroundColor"), "16744512");

    const UserOptions loaded = LoadUserOptions(store, {});
    EXPECT_EQ(loaded.logDirectory, options.logDirectory);
    EXPECT_TRUE(loaded.autodetectParty);
    EXPECT_FALSE(loaded.monitorNWNProcess);
    EXPECT_EQ(loaded.opacityPercent, 65);
    EXPECT_EQ(loaded.windowForegroundColor, -2147483633);
    EXPECT_EQ(loaded.windowBackgroundColor, 0x00FF8040);
    EXPECT_EQ(loaded.controlBackgroundColor, -1);
}

TEST(UserOptions, HoverBehaviorIsWrittenBackOnlyWhenMissingOrNoNumber)
{
    struct Case {
        const char* stored; // null: missing
        int32_t level;
        const char* after;
    };
    const Case cases[] = {{nullptr, 3, "3"}, {"", 3, "3"},    {"abc", 3, "3"}, {"2", 2, "2"},
                          {"0", 1, "0"},     {"-5", 1, "-5"}, {"9", 4, "9"},   {"4", 4, "4"}};
    for (const auto& c : cases) {
        MemorySettingsStore store;
        if (c.stored)
            store.Write("HUDOptions", "HoverBehavior", c.stored);
        EXPECT_EQ(GetHoverInterval(store), c.level) << (c.stored ? c.stored : "missing");
        EXPECT_EQ(store.Read("HUDOptions", "HoverBehavior"), c.after);
    }
}

TEST(UserOptions, WindowPositions)
{
    struct Case {
        const char* left; // null: missing
        const char* top;
        const char* width;
        const char* height;
        bool placed;
        bool sized;
    };
    const Case cases[] = {{"1200", "800", "9000", "6000", true, true},
                          {"0", "800", "9000", "6000", false, true},
                          {"1200", "-15", "0", "6000", false, false},
                          {nullptr, "800", nullptr, "6000", false, false},
                          {"abc", "800", "9000", "abc", false, false},
                          {"1200.5", "800", "9000", "6000", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.left ? c.left : "missing"));
        MemorySettingsStore store;
        const std::pair<const char*, const char*> values[] = {{"frmMain_Left", c.left},
                                                              {"frmMain_Top", c.top},
                                                              {"frmMain_Width", c.width},
                                                              {"frmMain_Height", c.height}};
        for (const auto& [key, value] : values) {
            if (value)
                store.Write("WindowPosition", key, value);
        }
        const WindowPosition position = ReadWindowPosition(store, "frmMain", true);
        ASSERT_EQ(position.topLeft.has_value(), c.placed);
        EXPECT_EQ(position.size.has_value(), c.sized);
        if (c.placed) {
            EXPECT_DOUBLE_EQ(position.topLeft->first, std::stod(c.left));
        }
        EXPECT_FALSE(ReadWindowPosition(store, "frmMain", false).size);
    }

    MemorySettingsStore store;
    WriteWindowPosition(store, "frmHUD", 1515.5, 900, std::nullopt);
    EXPECT_EQ(store.Read("WindowPosition", "frmHUD_Left"), "1515.5");
    EXPECT_FALSE(store.Read("WindowPosition", "frmHUD_Width"));
    WriteWindowPosition(store, "frmMain", 1500, 1200, std::make_pair(9000.0, 6000.0));
    const WindowPosition main = ReadWindowPosition(store, "frmMain", true);
    ASSERT_TRUE(main.topLeft && main.size);
    EXPECT_EQ(*main.topLeft, std::make_pair(1500.0, 1200.0));
    EXPECT_EQ(*main.size, std::make_pair(9000.0, 6000.0));
}

TEST(UserOptions, NewerVersionRule)
{
    struct Case {
        ProgramVersion running;
        ProgramVersion stored;
        bool newer;
    };
    const Case cases[] = {{{1, 0, 1}, {0, 0, 0}, true},  {{1, 0, 1}, {1, 0, 1}, false},
                          {{2, 0, 0}, {1, 9, 99}, true}, {{1, 9, 99}, {2, 0, 0}, false},
                          {{1, 5, 0}, {1, 4, 99}, true}, {{1, 4, 99}, {1, 5, 0}, false},
                          {{1, 5, 3}, {1, 5, 2}, true},  {{1, 5, 2}, {1, 5, 3}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.running, c.stored), c.newer)
            << c.running.major << "." << c.running.minor << "." << c.running.revision << " vs "
            << c.stored.major << "." << c.stored.minor << "." << c.stored.revision;
    }
    MemorySettingsStore store;
    EXPECT_TRUE(IsNewerVersion({0, 0, 1}, ReadStoredVersion(store)));
    WriteStoredVersion(store, {1, 7, 11});
    EXPECT_FALSE(IsNewerVersion({1, 7, 11}, ReadStoredVersion(store)));
}

} // namespace
} // namespace tarvik
