// Log bytes through the session: the reader, dating, classification and the
// interpretation of every record kind, read whole or in two pieces as while
// monitoring.
#include "FuzzSupport.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace tarvik;

namespace {

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
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    SessionHost host;
    Session session;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture fixture;
    if (size == 0)
        return 0;
    // The first byte chooses how the rest is read.
    const uint8_t how = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = bytes.size() * ((how >> 1) & 7) / 8;

    // One session for all inputs, cleared before each: a new one per input
    // would spend the run allocating its read buffer.
    Session& session = fixture.session;
    session.SetMonitoringEnabled(how & 1);
    session.ClearRealTimeData();
    session.Options().autodetectParty = (how & 0x10) != 0;
    session.ClearAllData();
    LogCursor cursor;
    const std::string path = fuzz::WriteFile("log.txt", bytes.substr(0, split));
    session.AnalyzeLog(path, cursor);
    fuzz::WriteFile("log.txt", bytes.substr(split), true);
    session.AnalyzeLog(path, cursor);
    return 0;
}
