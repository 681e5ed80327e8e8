// Configuration files through the INI reader and the loader; a configuration
// that loads then classifies and analyses a few records, and its table must
// classify exactly as asking each record type in turn does.
#include "FuzzSupport.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace tarvik;

namespace {

const char* const Records =
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:00] Aldric Voss : Initiative Roll : 18 : (13 + 5 = "
    "18)\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:01] Orc attacks Aldric Voss : *hit* : (14 + 9 = 23)\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:01] Orc damages Aldric Voss: 6 (4 Physical 2 Acid)\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:02] Aldric Voss casts Heal\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:02] Aldric Voss : Healed 12 hit points.\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:03] SAVE: Orc : Will Save : *failed* : (3 + 9 = 12 vs. "
    "DC: 20)\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:03] Orc : Damage Resistance absorbs 5 damage\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:04] Aldric Voss killed Orc\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:04] Experience Points Gained:  120\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:05] Brenna Tal has joined the party.\r\n"
    "[CHAT WINDOW TEXT] [Wed Aug  3 20:00:06] Brenna Tal has left the party.\r\n";

std::string AskEachType(const RecordTypes& types, std::string_view body)
{
    for (const RecordType& type : types.Types()) {
        std::string matched;
        if (type.IsThis(body, &matched))
            return type.Name() + "/" + matched;
    }
    return {};
}

std::string Classified(const RecordTypes& types, std::string_view body)
{
    const RecordTypes::Match match = types.Classify(body);
    return match ? match.type->Name() + "/" + std::string(match.identifier) : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ManualClock clock;
    static ErrObject lastError;
    static LogFile logFile(clock, lastError, fuzz::WorkFolder(), "fuzz");
    static DebugLog debug(logFile);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniDocument ini = IniDocument::Parse(text);
    ini.SetValue("Updates", "LastUpdateCheck", "06/01/2026 01:05:09 PM");
    if (IniDocument::Parse(ini.Text()).Value("updates", "lastupdatecheck") !=
        "06/01/2026 01:05:09 PM")
        __builtin_trap();

    const ConfigurationResult loaded =
        LoadConfiguration(fuzz::WriteFile("Tarvik.ini", text), "Tarvik");
    if (!loaded.configuration)
        return 0;
    const AnalysisConfig& config = loaded.configuration->analysis;
    // Every line of the input and of the records is a body to classify.
    for (const std::string_view source : {text, std::string_view(Records)}) {
        size_t start = 0;
        while (start <= source.size()) {
            const size_t end = std::min(source.find('\n', start), source.size());
            const std::string_view body = source.substr(start, end - start);
            if (Classified(config.recordTypes, body) != AskEachType(config.recordTypes, body))
                __builtin_trap();
            start = end + 1;
        }
    }
    SessionHost host;
    Session session(config, debug, clock, host);
    session.ClearAllData();
    session.AnalyzeLog(fuzz::WriteFile("log.txt", Records));
    return 0;
}
