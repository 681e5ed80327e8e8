// Time and memory per character when a log names very many characters: the
// analysis, the JSON report and the text report must each grow in step with
// the characters met, not with their square.
#include "ManyNamesBench.h"

#include "AllocationCounter.h"
#include "analysis/Session.h"
#include "cli/Report.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "report/JsonReport.h"
#include "util/Clock.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <time.h>

namespace tarvik::bench {

namespace {

// Counts what a report writes and keeps none of it.
class CountingBuffer : public std::streambuf {
public:
    int64_t bytes = 0;

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            ++bytes;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize count) override
    {
        bytes += count;
        return count;
    }
};

std::string Stamp(int64_t second)
{
    // One line a second from 00:00:00 on 1 August 2026 onwards; the
    // weekdays agree with the dates.
    static const char* const Weekdays[] = {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"};
    const int64_t day = second / 86400;
    char text[64];
    std::snprintf(text, sizeof text, "[CHAT WINDOW TEXT] [%s Aug %2d %02d:%02d:%02d] ",
                  Weekdays[day % 7], static_cast<int>(1 + day % 31),
                  static_cast<int>(second / 3600 % 24), static_cast<int>(second / 60 % 60),
                  static_cast<int>(second % 60));
    return text;
}

// Every name fights the hero: attacks, damage both ways, a spell, and dies;
// every third kills an earlier one, so that counts by opponent are scattered
// over the whole range of IDs.
std::string WriteLog(int64_t names)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tarvik-bench-names-" + std::to_string(names) + ".txt"))
                                 .string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    static const char* const Spells[] = {"Bless", "Haste", "Fireball", "Heal"};
    const std::string hero = "Aldric Voss";
    auto name = [](int64_t i) { return "Kobold " + std::to_string(i); };
    for (int64_t i = 1; i <= names; ++i) {
        const std::string stamp = Stamp(i / 4);
        const std::string kobold = name(i);
        out << stamp << kobold << " attacks " << hero << " : *hit* : (12 + 5 = 17)\r\n"
            << stamp << kobold << " damages " << hero << ": 6 (4 Physical 2 Fire)\r\n"
            << stamp << hero << " attacks " << kobold << " : *hit* : (15 + 10 = 25)\r\n"
            << stamp << hero << " damages " << kobold << ": 20 (20 Physical)\r\n"
            << stamp << kobold << " casts " << Spells[i % 4] << "\r\n";
        if (i % 3 == 0)
            out << stamp << kobold << " killed " << name(i / 2) << "\r\n";
        out << stamp << hero << " killed " << kobold << "\r\n";
    }
    return path;
}

// Processor time, not wall time: the figures are compared across runs on a
// machine that may be busy with other work.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

void ManyNames(benchmark::State& state)
{
    const int64_t names = state.range(0);
    const ConfigurationResult loaded =
        LoadConfiguration(std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", "Tarvik");
    if (!loaded.configuration) {
        state.SkipWithError(loaded.fatalMessage.c_str());
        return;
    }
    const std::string path = WriteLog(names);
    SystemClock clock;
    ErrObject lastError;
    LogFile file{clock, lastError, std::filesystem::temp_directory_path().string(), "tarvik-bench"};
    DebugLog debug{file};
    SessionHost host;
    double analyze = 0, json = 0, text = 0;
    int64_t held = 0, jsonPeak = 0, textPeak = 0, jsonBytes = 0;
    for (auto _ : state) {
        Session session(loaded.configuration->analysis, debug, clock, host);
        session.ClearAllData();
        const int64_t before = LiveBytes();
        double start = CpuSeconds();
        const DriverResult result = session.AnalyzeSelectedLogs({path});
        analyze = CpuSeconds() - start;
        held = LiveBytes() - before;
        if (result.aborted || session.Data().characters.Count() != names + 1) {
            state.SkipWithError("the log was not read as written");
            return;
        }

        CountingBuffer jsonOut;
        std::ostream jsonStream(&jsonOut);
        int64_t base = LiveBytes();
        ResetPeakBytes();
        start = CpuSeconds();
        JsonReport(jsonStream, session, {"names.txt"}, session.Errors().Lines());
        json = CpuSeconds() - start;
        jsonPeak = PeakBytes() - base;
        jsonBytes = jsonOut.bytes;

        CountingBuffer textOut;
        std::ostream textStream(&textOut);
        base = LiveBytes();
        ResetPeakBytes();
        start = CpuSeconds();
        TextReport(textStream, session, result);
        text = CpuSeconds() - start;
        textPeak = PeakBytes() - base;
        benchmark::DoNotOptimize(textOut.bytes);
    }
    std::filesystem::remove(path);
    const auto per = [&](double value) { return value / static_cast<double>(names); };
    // Processor nanoseconds and heap bytes per name.
    state.counters["analyze_ns/name"] = per(analyze * 1e9);
    state.counters["json_ns/name"] = per(json * 1e9);
    state.counters["text_ns/name"] = per(text * 1e9);
    state.counters["held_B/name"] = per(static_cast<double>(held));
    state.counters["json_peak_B/name"] = per(static_cast<double>(jsonPeak));
    state.counters["text_peak_B/name"] = per(static_cast<double>(textPeak));
    state.counters["json_out_B/name"] = per(static_cast<double>(jsonBytes));
}

} // namespace tarvik::bench
