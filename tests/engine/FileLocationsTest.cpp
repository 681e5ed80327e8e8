#include "config/FileLocations.h"

#include "TestSupport.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::TempDir;

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
