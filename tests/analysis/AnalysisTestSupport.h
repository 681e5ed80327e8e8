#pragma once

#include "TestSupport.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::test {

// The timestamp sits at characters 21 to 39, as the game writes it.
inline std::string GameLine(std::string_view body, std::string_view stamp = "Wed Jun 04 23:27:01")
{
    return "[CHAT WINDOW TEXT] [" + std::string(stamp) + "] " + std::string(body);
}

inline void WriteBytes(const std::string& path, std::string_view bytes, bool append = false)
{
    std::ofstream out(PathFromUtf8(path),
                      std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// A small vocabulary in the style of the game's messages.
inline AnalysisConfig ExampleConfig()
{
    AnalysisConfig config;
    LogFormat& f = config.format;
    f.timeStampBegin = 21;
    f.timeStampLength = 19;
    f.timeStampMinLength = 15;
    f.recordDeliminator = ":";
    f.attackHit = "*hit*";
    f.healingUnits = "hit points";
    f.saveSuccess = "*success*";
    f.characterConcealStart = "target concealed:";
    f.characterConcealEnd = "%";
    f.experiencePointsStart = "Experience Points Gained:";
    f.abStart = "+";
    f.abEnd = "=";
    f.charIdEnd = ": Initiative Roll";
    f.partyJoinEnd = "has joined the party";
    f.partyExitEnd = "has left the party";
    config.damageTypes = {"Physical", "Fire", "Negative", "Total"};
    config.shortDamageTypes = {"Phys", "Fire", "Neg", "Tot"};
    config.saveTypes = {"Fortitude", "Reflex", "Will"};
    const auto add = [&](std::string name, std::vector<std::string> identifiers) {
        RecordType type;
        type.CreateRecordType(std::move(name), identifiers);
        config.recordTypes.Add(std::move(type));
    };
    add("Chat", {"[party]", "[tell]"});
    add("Attack", {"attacks"});
    add("Damage", {"damages"});
    add("Casting", {"casts"});
    add("Healing", {"healed"});
    add("Resist", {"damage resistance absorbs"});
    add("Save", {"fortitude save", "reflex save", "will save"});
    add("Kill", {"killed"});
    add("Experience", {"experience points gained"});
    add("Character", {": initiative roll :"});
    add("PartyJoin", {"has joined the party"});
    add("PartyExit", {"has left the party"});
    add("Emote", {"waves at"}); // a kind the interpreter does not know
    config.recordTypes.Build();
    return config;
}

// What the shipped Tarvik.ini tells the analysis.
inline AnalysisConfig ShippedAnalysisConfig()
{
    ConfigurationResult loaded = LoadConfiguration(ShippedConfigPath(), "Tarvik");
    EXPECT_TRUE(loaded.configuration) << loaded.fatalMessage;
    return loaded.configuration ? loaded.configuration->analysis : AnalysisConfig{};
}

class RecordingHost : public SessionHost {
public:
    void SetRecordDates(std::string_view earliest, std::string_view latest) override
    {
        recordDates.emplace_back(std::string(earliest), std::string(latest));
    }
    void ShowErrors() override { ++errorsShown; }
    void SeriousError(std::string_view message) override { seriousErrors.emplace_back(message); }
    void StopMonitoring() override { ++monitoringStops; }
    void Yield() override { ++yields; }
    void DataCleared() override { ++dataClears; }
    void ReadStarted(std::string_view path) override { readsStarted.emplace_back(path); }
    void CharactersChanged(std::span<const CharacterId> ids) override
    {
        auto& told = changedCharacters.emplace_back();
        for (const CharacterId id : ids)
            told.push_back(id.value());
    }
    void RealTimeDataChanged() override { ++realTimeChanges; }

    std::vector<std::pair<std::string, std::string>> recordDates;
    int errorsShown = 0;
    std::vector<std::string> seriousErrors;
    int monitoringStops = 0;
    int yields = 0;
    int dataClears = 0;
    std::vector<std::string> readsStarted;
    std::vector<std::vector<int32_t>> changedCharacters; // one entry per telling
    int realTimeChanges = 0;
};

// A session on a manual clock, with its debug log in a temporary folder.
class SessionHarness {
public:
    explicit SessionHarness(AnalysisConfig analysisConfig = ExampleConfig(),
                            DateTime now = DateTime::FromCivil(2026, 6, 1, 12, 0, 0))
        : clock(now)
        , logFile(clock, lastError, dir.Path(), "debug")
        , debug(logFile)
        , config(std::move(analysisConfig))
        , session(std::make_unique<Session>(config, debug, clock, host))
    {
    }

    Session& S() { return *session; }
    AnalysisData& Data() { return session->Data(); }
    const std::vector<std::string>& Errors() const { return session->Errors().Lines(); }

    // The file was last written now, by the harness's clock.
    std::string Write(const std::string& name, const std::vector<std::string>& lines)
    {
        const std::string path = dir.File(name);
        WriteBytes(path, JoinLines(lines));
        SetModifiedLocal(path, clock.Now());
        return path;
    }
    // Reads the bodies, each as one dated line, in a fresh file.
    bool AnalyzeBodies(const std::vector<std::string>& bodies,
                       std::string_view stamp = "Wed Jun 04 23:27:01")
    {
        std::vector<std::string> lines;
        for (const auto& body : bodies)
            lines.push_back(GameLine(body, stamp));
        return session->AnalyzeLog(Write("records.txt", lines));
    }
    const Character* Named(std::string_view name) const
    {
        return session->Data().characters.Find(name);
    }
    // Non-zero attack bonus samples of one ring, oldest slot first.
    std::vector<int32_t> Samples(bool own)
    {
        std::vector<int32_t> result;
        for (int32_t value :
             own ? session->RealTime().OwnABSamples() : session->RealTime().EnemyABSamples()) {
            if (value != 0)
                result.push_back(value);
        }
        return result;
    }

    TempDir dir;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    RecordingHost host;
    AnalysisConfig config;
    std::unique_ptr<Session> session;
};

} // namespace tarvik::test
