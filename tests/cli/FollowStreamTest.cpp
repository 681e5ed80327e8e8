// tarvik-cli --follow's stream, driven tick by tick on a manual clock while
// the test writes the game's logs the way the game does.
#include "cli/FollowStream.h"

#include "TestSupport.h"
#include "analysis/Session.h"
#include "cli/CliOptions.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/LogFollower.h"
#include "util/Clock.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

std::string Lines(const std::string& header, const std::vector<std::string>& timedBodies)
{
    std::string text = "Messages for: Mon Aug  3 " + header + " 2026\r\n";
    for (const auto& timed : timedBodies)
        text += "[CHAT WINDOW TEXT] [Mon Aug  3 " + timed.substr(0, 8) + "] " + timed.substr(9) +
                "\r\n";
    return text;
}

const std::string First =
    Lines("20:00:00", {
                          "20:00:10 Drogo : Initiative Roll : 11 : (4 + 7 = 11)",
                          "20:00:11 Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
                          "20:00:11 Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)",
                          "20:00:12 Duergar Veteran attacks Drogo : *miss* : (4 + 12 = 16)",
                          "20:00:13 Duergar Veteran damages Drogo: 12 (12 Physical)",
                          "20:00:14 Drogo killed Duergar Veteran",
                      });
const std::string Second =
    Lines("20:05:00", {
                          "20:05:01 Drogo : Initiative Roll : 14 : (7 + 7 = 14)",
                          "20:05:01 Brenna Tal has joined the party.",
                          "20:05:02 Ogre Chieftain attacks Drogo : *critical hit* : (19 + 18 = 37 "
                          ": Threat Roll: 17 + "
                          "18 = 35)",
                          "20:05:02 Ogre Chieftain damages Drogo: 52 (52 Physical)",
                          "20:05:02 Drogo : Damage Resistance absorbs 10 damage",
                          "20:05:03 Ogre Chieftain killed Drogo",
                          "20:05:04 Brenna Tal damages Ogre Chieftain: 10 (10 Fire)",
                          "20:05:04 Ogre Chieftain : Damage Immunity absorbs 10 point(s) of Fire",
                      });
const std::string Third =
    Lines("20:10:00", {
                          "20:10:01 Drogo : Initiative Roll : 9 : (2 + 7 = 9)",
                          "20:10:02 Drogo attacks Cave Spider : *miss* : (3 + 14 = 17)",
                          "20:10:03 Drogo attacks Cave Spider : *hit* : (15 + 14 = 29)",
                          "20:10:03 Drogo damages Cave Spider: 17 (12 Physical 5 Cold)",
                      });

class FollowStreamTest : public ::testing::Test {
protected:
    FollowStreamTest()
    {
        ConfigurationResult loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
        EXPECT_TRUE(loaded.configuration) << loaded.fatalMessage;
        config = loaded.configuration->analysis;
    }
    std::unique_ptr<Session> NewSession(bool monitoring = false)
    {
        auto session = std::make_unique<Session>(config, debug, clock, host);
        session->ClearAllData();
        session->Options().autodetectParty = true;
        if (monitoring)
            session->SetMonitoringEnabled(true);
        return session;
    }
    // A monitoring session whose log folder is followed as `--follow` does.
    struct Followed {
        Followed(FollowStreamTest& test, const ReportSections& sections)
            : test(test)
            , session(test.NewSession(true))
            , follower(session->Monitor(), session->FollowerHooks(), test.debug, test.clock)
            , stream(*session, test.out, sections)
        {
        }
        void Tick()
        {
            follower.Tick({test.logs.Path(), "nwclientLog*.txt", false, true});
            stream.AfterTick(test.clock.Now());
        }

        FollowStreamTest& test;
        std::unique_ptr<Session> session;
        LogFollower follower;
        FollowStream stream;
    };
    // Writes into the folder; the file was last written at the clock's time.
    void Put(const std::string& name, const std::string& text, std::ios::openmode mode)
    {
        {
            std::ofstream out(logs.File(name), std::ios::binary | mode);
            out << text;
        }
        test::SetModifiedLocal(logs.File(name), clock.Now());
    }
    void At(int hour, int minute, int second)
    {
        clock.Set(DateTime::FromCivil(2026, 8, 3, hour, minute, second));
    }
    std::vector<nlohmann::json> Printed()
    {
        std::vector<nlohmann::json> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(nlohmann::json::parse(line));
        return lines;
    }

    AnalysisConfig config;
    test::TempDir debugDir;
    test::TempDir logs;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile{clock, lastError, debugDir.Path(), "Tarvik_debug"};
    DebugLog debug{logFile};
    SessionHost host;
    std::ostringstream out;
};

TEST_F(FollowStreamTest, BurstsHalfLinesARenameAndARestartGiveTheTotalsOfAOneShotRead)
{
    const ReportSections sections{true, true};
    Followed followed(*this, sections);
    const auto& session = followed.session;
    FollowStream& stream = followed.stream;
    const auto tick = [&] { followed.Tick(); };

    // The first session, cut in the middle of a line.
    const size_t half = First.find("Drogo: 12") + 3;
    At(20, 0, 13);
    Put("nwclientLog1.txt", First.substr(0, half), std::ios::trunc);
    tick();
    At(20, 0, 14);
    Put("nwclientLog1.txt", First.substr(half), std::ios::app);
    tick();
    tick(); // the same second: no second update
    At(20, 4, 0);
    tick(); // quiet for long: the fight has ended

    // The game starts anew: the log moves to number 2, a new log 1 begins.
    At(20, 5, 3);
    fs::rename(logs.File("nwclientLog1.txt"), logs.File("nwclientLog2.txt"));
    const size_t cut = Second.find("[CHAT WINDOW TEXT] [Mon Aug  3 20:05:04]");
    Put("nwclientLog1.txt", Second.substr(0, cut), std::ios::trunc);
    tick();
    At(20, 5, 4);
    Put("nwclientLog1.txt", Second.substr(cut), std::ios::app);
    tick();

    // And once more, this time starting log 1 afresh in its place.
    At(20, 10, 4);
    Put("nwclientLog1.txt", Third, std::ios::trunc);
    tick();
    stream.Finish({"nwclientLog1.txt", "nwclientLog2.txt"}, session->Errors().Lines());

    const std::vector<nlohmann::json> printed = Printed();
    std::vector<std::string> types;
    for (const auto& line : printed)
        types.push_back(line["type"].get<std::string>() + " " +
                        std::to_string(line.value("fight", line.value("number", 0))));
    EXPECT_EQ(types,
              (std::vector<std::string>{"update 1", "update 1", "fight 1", "death 2", "update 2",
                                        "update 2", "fight 2", "update 3", "summary 0"}));
    const nlohmann::json& death = printed[3];
    EXPECT_EQ(death["name"], "Drogo");
    EXPECT_EQ(death["killer"], "Ogre Chieftain");
    // The critical hit and its resisted 10 make one line, the killing blow.
    ASSERT_EQ(death["events"].size(), 1u);
    EXPECT_EQ(death["events"][0]["amount"], 52);
    EXPECT_EQ(death["events"][0]["absorbed"].size(), 1u);
    EXPECT_TRUE(death["events"][0]["killing_blow"].get<bool>());
    EXPECT_EQ(printed[1]["characters"][0]["damage_dealt"], 30);
    EXPECT_EQ(printed[1]["your_dps"], 10.0); // 30 over 20:00:11 to 20:00:14

    // The same lines read at once, each session from its own file.
    const auto once = NewSession();
    for (const auto& [name, text] :
         {std::pair{"a.txt", First}, std::pair{"b.txt", Second}, std::pair{"c.txt", Third}}) {
        Put(name, text, std::ios::trunc);
        ASSERT_TRUE(once->AnalyzeLog(logs.File(name)));
    }
    nlohmann::ordered_json expected =
        JsonDocument(*once, {"nwclientLog1.txt", "nwclientLog2.txt"}, {}, sections);
    nlohmann::ordered_json summary = nlohmann::ordered_json::parse(
        out.str().substr(out.str().rfind('\n', out.str().size() - 2) + 1));
    EXPECT_EQ(summary["error_lines"].size(), once->Errors().Lines().size());
    summary.erase("type");
    summary.erase("error_lines");
    expected.erase("error_lines");
    EXPECT_EQ(summary.dump(1), expected.dump(1));
    ASSERT_EQ(expected["fights"].size(), 3u);
    EXPECT_EQ(expected["fights"][1]["name"], "Ogre Chieftain");
    // 10 Fire dealt and 10 absorbed: floor(20 * p / 100) = 10 for p from 50 to 54.
    EXPECT_EQ(expected["targets"][1]["immunities"]["Fire"]["percent"], "50-54%");
}

// A fight printed as ended that takes in late lines is printed again, also
// when the next fight begins in the same tick; its last line then agrees with
// the summary.
TEST_F(FollowStreamTest, PrintedFightThatChangedIsPrintedAgain)
{
    const std::string late = Lines("20:00:00",
                                   {
                                       "20:00:14 Drogo damages Duergar Veteran: 8 "
                                       "(8 Physical)",
                                       "20:00:14 Drogo attacks Duergar Veteran : *hit* "
                                       ": (12 + 19 = 31)",
                                   })
                                 .substr(Lines("20:00:00", {}).size());
    const std::string next = Second.substr(Lines("20:05:00", {}).size());
    struct Case {
        const char* what;
        std::vector<std::string> ticks; // what each tick finds appended
        size_t fightOnePrinted;
        int32_t fightOneDamage;
    };
    const Case cases[] = {
        {"nothing late", {"", next}, 1, 30},
        {"late lines alone", {late, next}, 2, 38},
        {"late lines and the next fight in one tick", {late + next}, 2, 38},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        out.str("");
        Followed followed(*this, {true, true});
        const auto& session = followed.session;
        FollowStream& stream = followed.stream;
        const auto tick = [&] { followed.Tick(); };
        At(20, 0, 14);
        Put("nwclientLog1.txt", First, std::ios::trunc);
        tick();
        At(20, 4, 0);
        tick(); // fight 1 has ended and is printed
        for (const std::string& appended : c.ticks) {
            At(20, 5, 4);
            Put("nwclientLog1.txt", appended, std::ios::app);
            tick();
        }
        At(20, 9, 0);
        tick(); // fight 2 has ended too
        stream.Finish({"nwclientLog1.txt"}, session->Errors().Lines());

        std::vector<nlohmann::json> fightOne;
        for (const auto& line : Printed()) {
            if (line["type"] == "fight" && line["number"] == 1)
                fightOne.push_back(line);
        }
        EXPECT_EQ(fightOne.size(), c.fightOnePrinted);
        if (fightOne.empty())
            continue;
        nlohmann::json summary = Printed().back();
        ASSERT_EQ(summary["type"], "summary");
        ASSERT_EQ(summary["fights"].size(), 2u);
        nlohmann::json last = fightOne.back();
        last.erase("type");
        EXPECT_EQ(last, summary["fights"][0]);
        int64_t damage = 0;
        for (const auto& character : last["characters"])
            damage += character["damage_dealt"].get<int64_t>();
        EXPECT_EQ(damage, c.fightOneDamage + 12); // and the Duergar's 12 on Drogo
    }
}

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
