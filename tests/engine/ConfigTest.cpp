#include "TestSupport.h"
#include "config/Configuration.h"
#include "config/FileLocations.h"
#include "config/IniFile.h"
#include "config/UserOptions.h"
#include "util/FileUtil.h"
#include "util/SettingsStore.h"
#include "util/WindowPosition.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Names = std::vector<std::string>;
using test::TempDir;

Names FolderEntries(const std::string& folder)
{
    Names names;
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
    EXPECT_TRUE(ini.HasKey("log format", "EMPTY"));
    EXPECT_FALSE(ini.HasKey("Log Format", "Commented"));
    // Record types classify in this order; a repeated key is listed again.
    EXPECT_EQ(ini.Keys("Log Format"), (Names{"TimeStampBegin", "AttackHit", "Quoted", "Unbalanced",
                                             "Empty", "ABEnd", "Inline", "attackhit"}));
}

TEST(IniFile, WriteReplacesInPlaceKeepingCommentsAndLineEnds)
{
    const test::TempDir dir;
    const std::string path = dir.File("Tarvik.ini");
    EXPECT_EQ(ReadINI(path, "Updates", "URL"), "");
    EXPECT_TRUE(WriteINI(path, "Updates", "URL", "https://example.org/Update.ini"));
    EXPECT_EQ(ReadINI(path, "updates", "url"), "https://example.org/Update.ini");

    ASSERT_FALSE(WriteFileAtomically(path, "; Tarvik settings\r\n"
                                           "[Updates]\r\n"
                                           "LastUpdateCheck=\r\n"
                                           "\r\n"
                                           "[Real-time Monitoring]\r\n"
                                           "RollingAverageInterval=2\r\n"));
    EXPECT_TRUE(WriteINI(path, "updates", "lastupdatecheck", "06/01/2026 01:05:09 PM"));
    EXPECT_TRUE(WriteINI(path, "Updates", "Channel", "stable"));
    EXPECT_TRUE(WriteINI(path, "Real-time Monitoring", "RollingAverageInterval", "3"));
    EXPECT_TRUE(WriteINI(path, "Brand New", "Key", "value"));
    std::string text;
    EXPECT_FALSE(ReadWholeFile(path, text));
    EXPECT_EQ(text, "; Tarvik settings\r\n"
                    "[Updates]\r\n"
                    "LastUpdateCheck=06/01/2026 01:05:09 PM\r\n"
                    "Channel=stable\r\n"
                    "\r\n"
                    "[Real-time Monitoring]\r\n"
                    "RollingAverageInterval=3\r\n"
                    "\r\n"
                    "[Brand New]\r\n"
                    "Key=value\r\n");
    // Replaced whole through a temporary file that does not stay behind.
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"Tarvik.ini"});
}

// An INI file kept elsewhere through a link, and one kept private, stay so
// when Tarvik writes LastUpdateCheck or the real-time settings.
TEST(IniFile, WriteFollowsLinksAndKeepsPermissions)
{
    const test::TempDir dir;
    fs::create_directory(dir.File("settings"));
    const std::string target = dir.File("settings/Tarvik.ini");
    ASSERT_FALSE(WriteFileAtomically(target, "[Updates]\nURL=\n"));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    // Relative links, and a link to a link.
    std::error_code linkError;
    fs::create_symlink("settings/Tarvik.ini", dir.File("Tarvik.ini"), linkError);
    if (linkError)
        GTEST_SKIP() << "no symbolic links here: " << linkError.message();
    fs::create_symlink("Tarvik.ini", dir.File("Link.ini"));

    for (const char* name : {"Tarvik.ini", "Link.ini"}) {
        EXPECT_TRUE(WriteINI(dir.File(name), "Updates", "LastUpdateCheck", name));
        EXPECT_TRUE(fs::is_symlink(dir.File(name))) << name;
        EXPECT_EQ(ReadINI(target, "Updates", "LastUpdateCheck"), name);
        EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(FolderEntries(dir.File("settings")), Names{"Tarvik.ini"});
}

TEST(IniFile, FailedWriteLeavesEverythingAsItWas)
{
    const test::TempDir dir;
    EXPECT_FALSE(WriteINI(dir.File("missing/Tarvik.ini"), "A", "B", "C"));
    fs::create_directory(dir.File("Tarvik.ini"));
    EXPECT_FALSE(WriteINI(dir.File("Tarvik.ini"), "A", "B", "C"));
    EXPECT_TRUE(fs::is_directory(dir.File("Tarvik.ini")));
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"Tarvik.ini"});
}

// A small valid configuration; each test edits lines of it.
const char* const BaseIni = "[Log Format]\n"
                            "TimeStampBegin=21\n"
                            "TimeStampEnd=39\n"
                            "TimeStampMinLength=15\n"
                            "RecordBegin=41\n"
                            "RecordEnd=\n"
                            "[Real-time Monitoring]\n"
                            "RollingAverageInterval=2\n"
                            "FugueTimerWarning=30\n"
                            "FugueTimerExpiration=5\n"
                            "ABAverageRecords=20\n"
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

// Values are read whole however long they are: a record type with a hundred
// thousand identifiers keeps its last one.
TEST_F(ConfigurationTest, LongValuesAreReadWhole)
{
    struct Case {
        const char* what;
        size_t alternatives;
    };
    const Case cases[] = {{"32,757 characters", 3'386},
                          {"32,767 characters", 3'387},
                          {"a hundred thousand", 100'000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string identifiers;
        for (size_t i = 0; i < c.alternatives; ++i)
            identifiers += "swing" + std::to_string(i % 10'000) + ",";
        identifiers += "attacks";
        const std::string quoted = "\"" + std::string(40'000, ' ') + "*hit*\"";
        const ConfigurationResult result =
            Load({{"Attack=attacks", "Attack=" + identifiers},
                  {"RecordEnd=\n", "RecordEnd=\nAttackHit=" + quoted + "\n"}});
        ASSERT_TRUE(result.configuration) << result.fatalMessage;
        const RecordType* attack = result.configuration->analysis.recordTypes.Find("Attack");
        ASSERT_NE(attack, nullptr);
        EXPECT_EQ(attack->Identifiers().size(), c.alternatives + 1);
        EXPECT_EQ(attack->Identifiers().back(), "attacks");
        EXPECT_EQ(result.configuration->analysis.format.attackHit,
                  std::string(40'000, ' ') + "*hit*");
    }
}

// The missing file's message is checked at start-up, folders and pipes by
// tests/golden/bad_input.py. A huge file is refused before it is read.
TEST_F(ConfigurationTest, HugeFileIsRefused)
{
    const std::string huge = dir.File("huge.ini");
    ASSERT_FALSE(WriteFileAtomically(
        huge, BaseIni + std::string(static_cast<size_t>(MaxConfigurationBytes), ';')));
    const ConfigurationResult result = LoadConfiguration(huge, "Tarvik");
    EXPECT_FALSE(result.configuration);
    EXPECT_EQ(result.fatalMessage,
              "ERROR:  " + huge + " is larger than 4 MB; that is no configuration file!");
}

TEST_F(ConfigurationTest, FatalMessages)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"TimeStampBegin=21\n", "", "TimeStampBegin cannot be non-numeric!"},
        {"TimeStampBegin=21", "TimeStampBegin=3000000000", "TimeStampBegin is out of range!"},
        {"TimeStampEnd=39", "TimeStampEnd=3 9", "TimeStampEnd cannot be non-numeric!"},
        {"RecordBegin=41", "RecordBegin=", "RecordBegin cannot be non-numeric!"},
        {"RecordEnd=", "RecordEnd=end", "RecordEnd cannot be non-numeric!"},
        {"Interval=2", "Interval=two", "RollingAverageInterval cannot be non-numeric!"},
        {"FugueTimerWarning=30", "FugueTimerWarning=x", "FugueTimerWarning cannot be non-numeric!"},
        {"Expiration=5", "Expiration=", "FugueTimerExpiration cannot be non-numeric!"},
        {"Records=20", "Records=1,000", "ABAverageRecords cannot be non-numeric!"},
        {"[Types]", "[Other Types]", "No Damage Types found in INI file!"},
        {"=Phys,Fire", "=", "No Short Damage Types found in INI file!"},
        {"=Phys,Fire", "=Phys", "The damage types and short damage types do not match!"},
        {"=Fort,Reflex,Will", "= , ,", "No Save Types found in INI file!"},
        {"Chat=[party]\nAttack=attacks\n", "; none yet\n", "No Record Types found in INI file!"}};
    for (const auto& [from, to, message] : cases) {
        const ConfigurationResult result = Load({{from, to}});
        EXPECT_FALSE(result.configuration) << to;
        EXPECT_EQ(result.fatalMessage, "ERROR:  "s + message) << to;
    }
    // The first problem in reading order is the one reported.
    EXPECT_EQ(
        Load({{"TimeStampEnd=39", "TimeStampEnd=?"}, {"[Types]", "[Other]"}, {BaseRecordTypes, ""}})
            .fatalMessage,
        "ERROR:  TimeStampEnd cannot be non-numeric!");
}

TEST_F(ConfigurationTest, TimestampPositionsAreClampedAndRoundedHalfToEven)
{
    struct Case {
        const char* begin;
        const char* end;
        int32_t expectedBegin;
        int32_t expectedLength;
    };
    const Case cases[] = {{"0", "19", 1, 19},  {"-5", "0", 1, 99999},    {"30", "20", 30, 99999},
                          {"21", "21", 21, 1}, {"20.5", "38.5", 20, 19}, {"21.5", "39.5", 22, 19}};
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

TEST_F(ConfigurationTest, LenientNumbers)
{
    const ConfigurationResult result = Load({{"TimeStampMinLength=15", "TimeStampMinLength=short"},
                                             {"RecordBegin=41", "RecordBegin=0"},
                                             {"ABAverageRecords=20", "ABAverageRecords=3.5"}});
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_TRUE(result.warnings.empty());
    const Configuration& config = *result.configuration;
    EXPECT_EQ(config.analysis.format.timeStampMinLength, 0);
    EXPECT_EQ(config.analysis.format.recordBegin, 1);
    EXPECT_EQ(config.analysis.format.recordEnd, 0);
    EXPECT_EQ(config.realTime.abAverageRecords, 4);
}

TEST_F(ConfigurationTest, RecordTypesWithoutIdentifiersOrRepeatedAreWarnedAndSkipped)
{
    const ConfigurationResult result =
        Load({{BaseRecordTypes, "[Record Types]\nChat=[Party], [TELL]\nEmpty=\n"
                                "Only Commas= , ,, \nattack=attacks\nCHAT=hits\nEMPTY=late\n"}});
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_EQ(result.warnings,
              (Names{"ERROR:  Record type EMPTY does not have any identifiers in it's value.",
                     "ERROR:  Record type ONLY COMMAS does not have any identifiers in it's "
                     "value.",
                     "ERROR:  Record type CHAT is listed more than once; only the first is used.",
                     // A repeated key reads the first one's value, as a lookup by name does.
                     "ERROR:  Record type EMPTY does not have any identifiers in it's value."}));
    const RecordTypes& types = result.configuration->analysis.recordTypes;
    // The two kinds the file does not name come right after its chat list.
    ASSERT_EQ(types.Count(), 4);
    EXPECT_EQ(types.Types()[0].Identifiers(), (Names{"[party]", "[tell]"}));
    EXPECT_EQ(types.Types()[1].Name(), "Immunity");
    EXPECT_EQ(types.Types()[2].Name(), "SpellResist");
    EXPECT_EQ(types.Types()[3].Name(), "attack");
}

// A file written before immunity and spell resistance lines had keys of their
// own gets the shipped ones after its chat list, which loses the immunity
// lines it held; chat that names an immunity stays chat.
TEST_F(ConfigurationTest, KeysAddedLaterGetTheShippedValues)
{
    const ConfigurationResult result =
        Load({{BaseRecordTypes, "[Record Types]\nChat=[party],immune to sneak attacks,immune to "
                                "critical hits\nAttack=attacks\n"}});
    ASSERT_TRUE(result.configuration) << result.fatalMessage;
    EXPECT_TRUE(result.warnings.empty());
    const AnalysisConfig& analysis = result.configuration->analysis;
    EXPECT_EQ(analysis.format.touchAttack, "touch attack");
    EXPECT_EQ(analysis.format.specialAttack, "attempts");
    EXPECT_EQ(analysis.format.offHand, "Off Hand");
    EXPECT_EQ(analysis.format.immunityEnds, (Names{".", "effects"}));
    EXPECT_EQ(analysis.format.spellResistSpell, "attempts to resist:");
    EXPECT_EQ(analysis.format.spellResistResult, "- Result:");
    const std::pair<const char*, RecordKind> lines[] = {
        {"Stone Warden : Immune to Sneak Attacks.", RecordKind::Immunity},
        {"Plane Hell Wurm is immune to to FEAR effects", RecordKind::Immunity},
        {"SPELL RESIST: Vexa attempts to resist: Implosion - Result:  FAILED",
         RecordKind::SpellResist},
        {"Vexa: [Party] immune to critical hits, that one", RecordKind::Chat},
        {"Vexa: [Party] Boss : Immune to Slow. lol", RecordKind::Chat},
        {"Vexa attacks Stone Warden : *hit* : (5 + 65 = 70)", RecordKind::Attack},
    };
    for (const auto& [body, kind] : lines) {
        const RecordTypes::Match match = analysis.recordTypes.Classify(body);
        ASSERT_TRUE(match) << body;
        EXPECT_EQ(match.kind, kind) << body;
    }
}

TEST_F(ConfigurationTest, FightGapDefaultWhenMissingClampedWhenOutOfRangeFatalWhenNoNumber)
{
    const std::tuple<const char*, int32_t, const char*> cases[] = {
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
    for (const auto& [section, gap, message] : cases) {
        const ConfigurationResult result =
            Load({{"Attack=attacks\n", "Attack=attacks\n"s + section}});
        EXPECT_EQ(result.fatalMessage, message) << section;
        if (result.configuration) {
            EXPECT_EQ(result.configuration->analysis.fightGapSeconds, gap) << section;
        }
    }
    // The shipped file documents the key with its default.
    const ConfigurationResult shipped = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(shipped.configuration) << shipped.fatalMessage;
    EXPECT_EQ(shipped.configuration->analysis.fightGapSeconds, 15);
}

// The keys that tell what undated lines are came later: a file without them
// reads the shipped values; an empty value recognises nothing.
TEST_F(ConfigurationTest, UndatedLineKeysDefaultToTheShippedValues)
{
    const ConfigurationResult shipped = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(shipped.configuration) << shipped.fatalMessage;
    const LogFormat& expected = shipped.configuration->analysis.format;
    EXPECT_EQ(expected.sessionHeaderRule, "-");
    EXPECT_EQ(expected.chatDuplicateTags,
              (Names{"[Talk]", "[Party]", "[Tell]", "[Shout]", "[Whisper]", "[Server]", "[DM]"}));
    ASSERT_FALSE(expected.engineLines.empty());
    EXPECT_EQ(expected.engineLines.front(), "nwsync:");

    const ConfigurationResult absent = Load({});
    ASSERT_TRUE(absent.configuration) << absent.fatalMessage;
    const LogFormat& format = absent.configuration->analysis.format;
    EXPECT_EQ(format.sessionHeaderRule, expected.sessionHeaderRule);
    EXPECT_EQ(format.engineLines, expected.engineLines);
    EXPECT_EQ(format.chatDuplicateTags, expected.chatDuplicateTags);

    const ConfigurationResult empty =
        Load({{"RecordEnd=\n", "RecordEnd=\nSessionHeaderRule=\nEngineLines=\n"
                               "ChatDuplicateTags= , [Party] ,,\n"}});
    ASSERT_TRUE(empty.configuration) << empty.fatalMessage;
    const LogFormat& none = empty.configuration->analysis.format;
    EXPECT_EQ(none.sessionHeaderRule, "");
    EXPECT_TRUE(none.engineLines.empty());
    EXPECT_EQ(none.chatDuplicateTags, Names{"[Party]"});
}

TEST(UserOptions, StoredNumbersAreClampedRoundedOrOnForAnyNonZero)
{
    struct Case {
        const char* stored;
        int32_t opacity; // clamped to 20..100
        int32_t hover;   // clamped to 1..4
        bool autodetect; // off when no number
        bool monitor;    // on when no number
    };
    const Case cases[] = {
        {"19", 20, 4, true, true},   {"100", 100, 4, true, true},  {"-40", 20, 1, true, true},
        {"0", 20, 1, false, false},  {"0.0", 20, 1, false, false}, {"54.5", 54, 4, true, true},
        {"55.5", 56, 4, true, true}, {"2.5", 20, 2, true, true},   {"abc", 100, 3, false, true}};
    for (const auto& c : cases) {
        MemorySettingsStore store;
        for (const char* key : {"AutodetectParty", "MonitorNWNProcess"})
            store.Write("UserOptions", key, c.stored);
        store.Write("HUDOptions", "Opacity", c.stored);
        store.Write("HUDOptions", "HoverBehavior", c.stored);
        const UserOptions options = LoadUserOptions(store, {});
        EXPECT_EQ(options.opacityPercent, c.opacity) << c.stored;
        EXPECT_EQ(GetHoverInterval(store), c.hover) << c.stored;
        EXPECT_EQ(options.autodetectParty, c.autodetect) << c.stored;
        EXPECT_EQ(options.monitorNWNProcess, c.monitor) << c.stored;
        // Only a stored text that is no number is replaced by the default.
        EXPECT_EQ(store.Read("HUDOptions", "HoverBehavior"), c.hover == 3 ? "3" : c.stored);
    }
}

// Flags survive a restart in the window tests; colours are signed, system colours negative.
TEST(UserOptions, DefaultAndSignedColoursReadBack)
{
    MemorySettingsStore store;
    UserOptions options = LoadUserOptions(store, {0x112233, 0x445566, 0x778899});
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_EQ(
        (std::vector<int32_t>{options.windowForegroundColor, options.windowBackgroundColor,
                              options.controlForegroundColor, options.controlBackgroundColor}),
        (std::vector<int32_t>{0x112233, 0x445566, 0, 0x778899}));

    options.windowForegroundColor = -2147483633;
    options.windowBackgroundColor = 0x00FF8040;
    SaveUserOptions(store, options, nullptr);
    EXPECT_EQ(store.Read("HUDOptions", "WindowBackgroundColor"), "16744512");
    EXPECT_EQ(LoadUserOptions(store, {}).windowForegroundColor, -2147483633);
}

TEST(UserOptions, WindowPositionsNeedPositiveNumbers)
{
    MemorySettingsStore store;
    WriteWindowPosition(store, "frmMain", 1515.5, 1200, std::make_pair(9000.0, 6000.0));
    WriteWindowPosition(store, "frmHUD", 0, 900, std::nullopt);
    EXPECT_EQ(store.Read("WindowPosition", "frmMain_Left"), "1515.5");
    const WindowPosition main = ReadWindowPosition(store, "frmMain", true);
    ASSERT_TRUE(main.topLeft && main.size);
    EXPECT_EQ(*main.topLeft, std::make_pair(1515.5, 1200.0));
    EXPECT_EQ(*main.size, std::make_pair(9000.0, 6000.0));
    EXPECT_FALSE(ReadWindowPosition(store, "frmHUD", true).topLeft); // 0: never placed

    store.Write("WindowPosition", "frmMain_Top", "-15");
    store.Write("WindowPosition", "frmMain_Height", "abc");
    const WindowPosition unusable = ReadWindowPosition(store, "frmMain", true);
    EXPECT_FALSE(unusable.topLeft || unusable.size);
}

// A prefix with bin/ and share/tarvik/ and the user's two folders, in one
// temporary folder.
struct Layout {
    TempDir root;
    std::string bin = root.File("bin");
    std::string share = FileLocations::InstalledShippedDir(bin);
    std::string config = root.File("config");
    std::string data = root.File("data");

    Layout()
    {
        EXPECT_FALSE(CreateFolders(bin));
        EXPECT_FALSE(CreateFolders(share));
    }
    void Ship(const std::string& folder) const
    {
        EXPECT_FALSE(CopyFile(test::ShippedConfigPath(), JoinPath(folder, "Tarvik.ini")));
    }
    FileLocations Decide(bool writable) const
    {
        return FileLocations::Decide({bin, "Tarvik.ini", writable, config, data});
    }
};

TEST(FileLocations, PortableBesideTheProgramElseShippedFilesFromShareAndOwnFilesPerUser)
{
    struct Case {
        const char* name;
        bool besideProgram;
        bool inShare;
        bool writable;
        bool portable;
        bool shippedInShare;
    };
    const Case cases[] = {
        // A build folder or an unpacked portable folder.
        {"portable", true, false, true, true, false},
        // Beside the program wins over an installed copy.
        {"portable over share", true, true, true, true, false},
        // Under /usr, or unpacked from the package as its owner, or ~/.local.
        {"installed", false, true, false, false, true},
        {"installed, writable", false, true, true, false, true},
        // Windows' Program Files: shipped beside the program, not writable.
        {"program files", true, false, false, false, false},
        // Nothing anywhere: the message names the program's folder.
        {"missing, writable", false, false, true, true, false},
        {"missing, read-only", false, false, false, false, false},
    };
    for (const auto& c : cases) {
        Layout layout;
        if (c.besideProgram)
            layout.Ship(layout.bin);
        if (c.inShare)
            layout.Ship(layout.share);
        const FileLocations files = layout.Decide(c.writable);
        EXPECT_EQ(files.portable, c.portable) << c.name;
        const std::string shipped = c.shippedInShare ? layout.share : layout.bin;
        EXPECT_EQ(files.shippedDir, shipped) << c.name;
        EXPECT_EQ(files.ShippedFile("Tarvik_help.txt"), JoinPath(shipped, "Tarvik_help.txt"))
            << c.name;
        EXPECT_EQ(files.userConfig, JoinPath(c.portable ? layout.bin : layout.config, "Tarvik.ini"))
            << c.name;
        EXPECT_EQ(files.DataFile("Update.ini"),
                  JoinPath(c.portable ? layout.bin : layout.data, "Update.ini"))
            << c.name;
    }
}

TEST(ConfigurationFile, ShippedFileIsReadUntilTheFirstWriteMakesTheUsersCopy)
{
    Layout layout;
    layout.Ship(layout.share);
    const FileLocations files = layout.Decide(false);
    const ConfigurationFile file = files.Configuration();
    const std::string shipped = JoinPath(layout.share, "Tarvik.ini");
    std::string shippedBefore;
    ASSERT_FALSE(ReadWholeFile(shipped, shippedBefore));
    EXPECT_EQ(file.ReadPath(), shipped);
    EXPECT_EQ(file.Read("Monitoring", "WindowClass"), "nwmain");
    EXPECT_FALSE(FileExists(layout.config));
    EXPECT_NE(files.Describe().front().find("is made when you change a setting"),
              std::string::npos);

    // The first write makes the folder and the copy, and changes only the copy.
    ASSERT_TRUE(file.Write("Real-time Monitoring", "FugueTimerWarning", "45"));
    EXPECT_EQ(file.ReadPath(), files.userConfig);
    std::string shippedAfter;
    ASSERT_FALSE(ReadWholeFile(shipped, shippedAfter));
    EXPECT_EQ(shippedAfter, shippedBefore);
    EXPECT_EQ(file.Read("Monitoring", "WindowClass"), "nwmain");
    EXPECT_EQ(ReadINI(shipped, "Real-time Monitoring", "FugueTimerWarning"), "30");
    EXPECT_EQ(files.Describe().front(), "Your configuration: " + files.userConfig);

    // From now on the copy is the configuration, also at the next start.
    ASSERT_TRUE(WriteINI(shipped, "Monitoring", "WindowClass", "shipped-later"));
    const ConfigurationResult loaded = LoadConfiguration(files.Configuration(), "Tarvik");
    ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;
    EXPECT_EQ(loaded.configuration->realTime.fugueTimerWarning, 45);
    EXPECT_EQ(loaded.configuration->windowClass, "nwmain");
    EXPECT_EQ(loaded.configuration->path, files.userConfig);
}

TEST(ConfigurationFile, WithoutTheShippedFileNothingIsWrittenAndLoadingSaysItIsMissing)
{
    Layout layout;
    const ConfigurationFile file = layout.Decide(false).Configuration();
    EXPECT_FALSE(file.Write("Updates", "LastUpdateCheck", "now"));
    EXPECT_FALSE(FileExists(layout.config));
    const ConfigurationResult loaded = LoadConfiguration(file, "Tarvik");
    EXPECT_FALSE(loaded.configuration);
}

TEST(UserFolders, FollowTheConventionsQtUses)
{
    using Environment = std::map<std::string, std::string>;
    struct Case {
        const char* name;
        Environment environment;
        std::string config;
        std::string data;
    };
#ifdef _WIN32
    const Case cases[] = {
        {"local app data",
         {{"LOCALAPPDATA", "C:\\Users\\Ana\\AppData\\Local"}},
         "C:\\Users\\Ana\\AppData\\Local\\Tarvik",
         "C:\\Users\\Ana\\AppData\\Local\\Tarvik"},
        {"none", {}, "", ""},
    };
#else
    const Case cases[] = {
        {"home",
         {{"HOME", "/home/ana"}},
         "/home/ana/.config/Tarvik",
         "/home/ana/.local/share/Tarvik"},
        {"xdg",
         {{"HOME", "/home/ana"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/d"}},
         "/cfg/Tarvik",
         "/d/Tarvik"},
        // A relative XDG folder is not a folder to trust.
        {"relative xdg",
         {{"HOME", "/home/ana"}, {"XDG_CONFIG_HOME", "cfg"}},
         "/home/ana/.config/Tarvik",
         "/home/ana/.local/share/Tarvik"},
        {"none", {}, "", ""},
    };
#endif
    for (const auto& c : cases) {
        const UserFolders folders = UserFoldersFrom([&](const std::string& name) {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? std::string() : it->second;
        });
        EXPECT_EQ(folders.config, c.config) << c.name;
        EXPECT_EQ(folders.data, c.data) << c.name;
    }
}

TEST(LogFolder, StoredFolderThenTheGamesUsualFolderThenTheFallback)
{
    TempDir dir;
    const std::string home = dir.File("home");
    const std::string documents = dir.File("documents");
    const std::vector<std::string> game = GameLogFolders(home, documents);
    ASSERT_EQ(game.size(), 2u);
    EXPECT_EQ(game[0],
              JoinPath(JoinPath(JoinPath(JoinPath(home, ".local"), "share"), "Neverwinter Nights"),
                       "logs"));
    EXPECT_EQ(game[1], JoinPath(JoinPath(documents, "Neverwinter Nights"), "logs"));
    EXPECT_TRUE(GameLogFolders("", "").empty());

    const std::string stored = dir.File("stored");
    EXPECT_EQ(ChooseLogFolder(stored, game, "fallback"), "fallback");
    ASSERT_FALSE(CreateFolders(game[1]));
    EXPECT_EQ(ChooseLogFolder("", game, "fallback"), game[1]);
    ASSERT_FALSE(CreateFolders(game[0]));
    EXPECT_EQ(ChooseLogFolder(stored, game, "fallback"), game[0]);
    ASSERT_FALSE(CreateFolders(stored));
    EXPECT_EQ(ChooseLogFolder(stored, game, "fallback"), stored);
}

TEST(FileUtil, FolderIsWritableOnlyWhenItExistsAndLeavesNoTrace)
{
    TempDir dir;
    EXPECT_TRUE(IsFolderWritable(dir.Path()));
    EXPECT_FALSE(IsFolderWritable(dir.File("missing")));
    EXPECT_TRUE(IsDirectory(dir.Path()));
    std::error_code code;
    EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(dir.Path()), code));
}

} // namespace
} // namespace tarvik
