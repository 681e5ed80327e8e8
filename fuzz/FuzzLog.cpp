// Log bytes through the session: the reader, dating, classification and the
// interpretation of every record kind. The bytes are read once whole and once
// in pieces cut at bytes the input chooses, the way the log follower reads a
// log the game is still writing; both reads must leave the same counts and
// the same totals on every character.
#include "FuzzSupport.h"
#include "analysis/LogReader.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

using namespace tarvik;

namespace {

// Notes the serious errors: a read that ends through them is not compared.
class CountingHost final : public SessionHost {
public:
    void SeriousError(std::string_view) override { ++seriousErrors; }
    int seriousErrors = 0;
};

struct Fixture {
    Fixture()
        : loaded(LoadConfiguration(std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", "Tarvik"))
        , logFile(clock, lastError, fuzz::WorkFolder(), "fuzz")
        , debug(logFile)
        , session(Checked(loaded), debug, clock, host)
    {
    }
    static const AnalysisConfig& Checked(const ConfigurationResult& result)
    {
        if (!result.configuration)
            std::abort();
        return result.configuration->analysis;
    }
    ConfigurationResult loaded;
    // Before any file's time: every read dates its lines alike, whenever the
    // file was written.
    ManualClock clock{DateTime::FromCivil(2001, 6, 1, 12, 0, 0)};
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    CountingHost host;
    Session session;
};

void Add(std::string& text, int64_t value)
{
    text += std::to_string(value);
    text += ' ';
}

template <class Id>
void AddCounts(std::string& text, const IdCountList<Id>& counts)
{
    text += "|";
    for (const auto& [id, count] : counts) {
        Add(text, id.value());
        Add(text, count);
    }
}

// Everything the analysis counted, as text, so that a difference shows.
std::string Snapshot(const Session& session)
{
    const AnalysisData& data = session.Data();
    std::string text;
    for (const int64_t value :
         {int64_t{data.linesRead}, int64_t{data.recordsParsed}, int64_t{data.experienceTotal},
          data.earliestRecordDate.Milliseconds(), data.latestRecordDate.Milliseconds(),
          int64_t{data.userCharacterId.value()}, int64_t{data.partyMemberCount},
          int64_t{session.Fights().DroppedFights()},
          static_cast<int64_t>(session.Fights().Fights().size())})
        Add(text, value);
    text += "\nerrors:\n";
    for (const std::string& line : session.Errors().Lines())
        text += line + "\n";
    text += "spells:";
    for (const auto& spell : data.knownSpells)
        text += " [" + spell->Name() + "]";
    for (const auto& character : data.characters) {
        const Character& c = *character;
        text += "\n[" + c.Name() + "] ";
        for (const int64_t value :
             {int64_t{c.ID().value()}, int64_t{c.IsPartyMember()}, int64_t{c.Kills()},
              int64_t{c.Deaths()}, int64_t{c.Spells()}, int64_t{c.DistinctSpells()},
              int64_t{c.Attacks()}, int64_t{c.AttackHits()}, int64_t{c.EnemyAttacks()},
              int64_t{c.EnemyAttackHits()}, int64_t{c.DamageDealt()}, int64_t{c.DamageReceived()},
              int64_t{c.SaveAttempts()}, int64_t{c.SaveSuccesses()}, int64_t{c.HPsHealed()},
              int64_t{c.Resists()}, int64_t{c.HPsResisted()}})
            Add(text, value);
        AddCounts(text, c.KillSummary());
        AddCounts(text, c.DeathSummary());
        AddCounts(text, c.CastSummary());
        for (const auto* records : {&c.OutboundRecords(), &c.InboundRecords()}) {
            text += "|";
            for (const AttackRecord& record : *records) {
                Add(text, record.Attacker().value());
                Add(text, record.Defender().value());
                Add(text, record.NumberAttacks());
                Add(text, record.TotalDamage());
            }
        }
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture fixture;
    // The choices come from the input's end, so that its start reads as a log.
    FuzzedDataProvider in(data, size);
    const auto how = in.ConsumeIntegral<uint8_t>();
    const auto firstCut = in.ConsumeIntegral<uint32_t>();
    const auto secondCut = in.ConsumeIntegral<uint32_t>();
    const auto longLineAt = in.ConsumeIntegral<uint16_t>();
    std::string bytes = in.ConsumeRemainingBytesAsString();
    if (how & 4) {
        // A line too long to keep, which a cut may fall into.
        bytes.insert(longLineAt % (bytes.size() + 1),
                     std::string(LogReader::MaxLineLength + 4000, 'x'));
    }
    // A read while monitoring leaves a last line without its end for later;
    // read at once, the same bytes need one to end alike.
    const bool wholeWhileMonitoring = (how & 1) == 0;
    if (!wholeWhileMonitoring && !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
        bytes += "\r\n";
    std::vector<size_t> cuts = {firstCut % (bytes.size() + 1)};
    if (how & 8)
        cuts.push_back(secondCut % (bytes.size() + 1));
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(bytes.size());

    // One session for all inputs, cleared before each read: a new one per
    // input would spend the run allocating its read buffer.
    Session& session = fixture.session;
    session.Options().autodetectParty = (how & 2) != 0;
    fixture.host.seriousErrors = 0;

    session.ClearAllData();
    session.SetMonitoringEnabled(wholeWhileMonitoring);
    LogCursor whole;
    session.AnalyzeLog(fuzz::WriteFile("log.txt", bytes), whole);
    const std::string once = Snapshot(session);

    session.ClearAllData();
    session.SetMonitoringEnabled(true);
    LogCursor cursor;
    size_t written = 0;
    fuzz::WriteFile("log.txt", {});
    for (const size_t cut : cuts) {
        const std::string path =
            fuzz::WriteFile("log.txt", bytes.substr(written, cut - written), true);
        written = cut;
        session.AnalyzeLog(path, cursor);
    }
    const std::string pieces = Snapshot(session);

    // A serious error ends a read part way; what follows it is not comparable.
    if (fixture.host.seriousErrors == 0 && once != pieces) {
        std::fprintf(stderr, "Read whole:\n%s\n\nRead in pieces:\n%s\n", once.c_str(),
                     pieces.c_str());
        std::abort();
    }
    return 0;
}
