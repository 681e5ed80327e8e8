// Speed and memory of the analysis: a generated log analysed with the shipped
// configuration at debug level 0, beside the same file scanned for line ends.
//
//   tarvik-bench                       1,000,000 lines
//   TARVIK_BENCH_LINES=N tarvik-bench  another size
//   TARVIK_BENCH_BIG=1 tarvik-bench    also a log of about 1 GB and one of a single
//                                      200 MB line (memory must stay flat; run the
//                                      latter alone with --benchmark_filter to read
//                                      its own peak)
//   tarvik-bench --benchmark_filter=BM_ManyNames
//                                      time and heap bytes per character of the analysis
//                                      and both reports at 10,000 and 500,000 names
//   tarvik-bench --real [--lines N] [LOG|FOLDER...]
//                                      real logs (default data/samples) repeated to at least
//                                      N lines (default 1,000,000), against grep
#include "AllocationCounter.h"
#include "LogGenerator.h"
#include "ManyNamesBench.h"
#include "RealLogBench.h"
#include "analysis/LogReader.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/LogFollower.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace tarvik;

struct GeneratedLog {
    std::string path;
    int64_t lines = 0;
    int64_t bytes = 0;
};

GeneratedLog Generate(int64_t lines, const char* name)
{
    GeneratedLog log;
    log.path = (std::filesystem::temp_directory_path() / name).string();
    log.lines = lines;
    std::error_code code;
    const auto existing = std::filesystem::file_size(log.path, code);
    LogGenerator::Options options;
    options.lines = lines;
    options.seed = 20261206;
    if (!code) {
        // Reuse a file of the right size from an earlier run.
        std::ofstream sink("/dev/null");
        const int64_t expected = LogGenerator(options).Write(sink);
        if (static_cast<int64_t>(existing) == expected) {
            log.bytes = expected;
            return log;
        }
    }
    std::ofstream out(log.path, std::ios::binary);
    log.bytes = LogGenerator(options).Write(out);
    return log;
}

int64_t LinesFromEnvironment()
{
    const char* text = std::getenv("TARVIK_BENCH_LINES");
    return text ? std::atoll(text) : 1'000'000;
}

const GeneratedLog& StandardLog()
{
    static const GeneratedLog log = Generate(LinesFromEnvironment(), "tarvik-bench-log.txt");
    return log;
}

double PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, const GeneratedLog& log)
{
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(log.lines) * iterations,
                                                   benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(log.bytes) * iterations / 1e6,
                                                benchmark::Counter::kIsRate);
    state.counters["peakRSS_MB"] = PeakRssMb();
}

// The shipped configuration and what a session needs around it.
struct SessionParts {
    ConfigurationResult loaded =
        LoadConfiguration(std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", "Tarvik");
    SystemClock clock;
    ErrObject lastError;
    LogFile file{clock, lastError, std::filesystem::temp_directory_path().string(), "tarvik-bench"};
    DebugLog debug{file};
    SessionHost host;
};

void Analyze(benchmark::State& state, const GeneratedLog& log)
{
    SessionParts parts;
    if (!parts.loaded.configuration) {
        state.SkipWithError(parts.loaded.fatalMessage.c_str());
        return;
    }
    for (auto _ : state) {
        Session session(parts.loaded.configuration->analysis, parts.debug, parts.clock, parts.host);
        session.ClearAllData();
        if (!session.AnalyzeLog(log.path)) {
            state.SkipWithError("the analysis failed");
            return;
        }
        benchmark::DoNotOptimize(session.Data().recordsParsed);
    }
    Report(state, log);
}

void ScanLineEnds(benchmark::State& state, const GeneratedLog& log)
{
    for (auto _ : state) {
        LogReader reader;
        if (reader.Open(log.path, 0)) {
            state.SkipWithError("cannot open the log");
            return;
        }
        int64_t lines = 0;
        std::string_view line;
        while (reader.NextLine(line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    Report(state, log);
}

void BM_ScanLineEnds(benchmark::State& state)
{
    ScanLineEnds(state, StandardLog());
}

void BM_AnalyzeLog(benchmark::State& state)
{
    Analyze(state, StandardLog());
}

void BM_AnalyzeBigLog(benchmark::State& state)
{
    // About 100 bytes a line: ten million lines make a gigabyte.
    static const GeneratedLog log = Generate(10'500'000, "tarvik-bench-big-log.txt");
    Analyze(state, log);
}

void BM_AnalyzeOneLongLine(benchmark::State& state)
{
    // No line end in 200 MB: the line is cut, the rest skipped, memory stays put.
    static const GeneratedLog log = [] {
        GeneratedLog made;
        made.path = (std::filesystem::temp_directory_path() / "tarvik-bench-one-line.txt").string();
        made.lines = 1;
        made.bytes = 200 << 20;
        std::ofstream out(made.path, std::ios::binary);
        const std::string block(1 << 20, 'a');
        for (int64_t written = 0; written < made.bytes;
             written += static_cast<int64_t>(block.size()))
            out << block;
        return made;
    }();
    Analyze(state, log);
}

// A configuration just under the size limit, nearly all of it record types:
// loading must stay a matter of a second, not grow with the square of the types.
void BM_LoadLargeConfiguration(benchmark::State& state)
{
    static const std::string path = [] {
        std::string text;
        ReadWholeFile(std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", text);
        const size_t at = text.find("[Record Types]");
        text.insert(at + std::string("[Record Types]\n").size(), [] {
            std::string types;
            for (int t = 0; types.size() < static_cast<size_t>(MaxConfigurationBytes) - 100'000;
                 ++t) {
                const std::string n = std::to_string(t);
                types += "Type" + n + "=alpha " + n + ",beta " + n + ",gamma " + n + "\n";
            }
            return types;
        }());
        const std::string made =
            (std::filesystem::temp_directory_path() / "tarvik-bench-large.ini").string();
        WriteFileAtomically(made, text);
        return made;
    }();
    int types = 0;
    for (auto _ : state) {
        const ConfigurationResult loaded = LoadConfiguration(path, "Tarvik");
        if (!loaded.configuration) {
            state.SkipWithError(loaded.fatalMessage.c_str());
            return;
        }
        types = loaded.configuration->analysis.recordTypes.Count();
    }
    state.counters["recordTypes"] = types;
    state.counters["peakRSS_MB"] = PeakRssMb();
}

// Classification alone, over the bodies of the bundled real logs: the one
// step that looks at every byte of every line.
void BM_ClassifyRealBodies(benchmark::State& state)
{
    const ConfigurationResult loaded =
        LoadConfiguration(std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", "Tarvik");
    if (!loaded.configuration) {
        state.SkipWithError(loaded.fatalMessage.c_str());
        return;
    }
    std::vector<std::string> bodies;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             std::string(TARVIK_SOURCE_DIR) + "/data/samples")) {
        std::ifstream in(entry.path(), std::ios::binary);
        for (std::string line; entry.is_regular_file() && std::getline(in, line);) {
            const size_t close = line.find("] ", 20);
            if (close != std::string::npos)
                bodies.push_back(line.substr(close + 2));
        }
    }
    const RecordTypes& types = loaded.configuration->analysis.recordTypes;
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& body : bodies) {
            benchmark::DoNotOptimize(types.Classify(body));
            bytes += static_cast<int64_t>(body.size());
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(bodies.size()));
}

// A monitoring tick while the game writes nothing: three logs read to their
// end, so each tick only looks at the folder.
void BM_IdleMonitoringTick(benchmark::State& state)
{
    SessionParts parts;
    if (!parts.loaded.configuration) {
        state.SkipWithError(parts.loaded.fatalMessage.c_str());
        return;
    }
    const auto folder = std::filesystem::temp_directory_path() / "tarvik-bench-idle";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* name : {"nwclientLog1.txt", "nwclientLog2.txt", "nwclientLog3.txt"})
        std::filesystem::copy_file(std::string(TARVIK_SOURCE_DIR) + "/data/samples/" + name,
                                   folder / name);
    Session session(parts.loaded.configuration->analysis, parts.debug, parts.clock, parts.host);
    session.ClearAllData();
    session.SetMonitoringEnabled(true);
    LogFollower follower(session.Monitor(), session.FollowerHooks(), parts.debug, parts.clock);
    const TickInput input{folder.string(), "nwclientLog*.txt", false, true};
    if (follower.Tick(input).outcome != TickOutcome::NewData) {
        state.SkipWithError("the first tick read nothing");
        return;
    }
    TickResult result;
    follower.Tick(input, result); // the result's memory, kept from here on
    const uint64_t before = bench::AllocationCount();
    for (auto _ : state) {
        follower.Tick(input, result);
        if (result.outcome != TickOutcome::NothingNew) {
            state.SkipWithError("an idle tick found something");
            return;
        }
    }
    state.counters["allocations/tick"] = static_cast<double>(bench::AllocationCount() - before) /
                                         static_cast<double>(state.iterations());
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(BM_IdleMonitoringTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClassifyRealBodies)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanLineEnds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AnalyzeLog)->Unit(benchmark::kMillisecond)->Iterations(3);
// Per name at 10,000 and 500,000 distinct names: the larger must cost each
// name about what the smaller does.
BENCHMARK(tarvik::bench::ManyNames)
    ->Name("BM_ManyNames")
    ->Arg(10'000)
    ->Arg(500'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// Last: its peak memory would hide the analysis's.
BENCHMARK(BM_LoadLargeConfiguration)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--real") {
        std::vector<std::string> inputs;
        long long lines = 1'000'000;
        for (int i = 2; i < argc; ++i) {
            if (std::string(argv[i]) == "--lines" && i + 1 < argc)
                lines = std::atoll(argv[++i]);
            else
                inputs.emplace_back(argv[i]);
        }
        if (inputs.empty())
            inputs.push_back(std::string(TARVIK_SOURCE_DIR) + "/data/samples");
        return tarvik::bench::RunRealLogBench(inputs, lines);
    }
    if (std::getenv("TARVIK_BENCH_BIG"))
        benchmark::RegisterBenchmark("BM_AnalyzeBigLog", BM_AnalyzeBigLog)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    if (std::getenv("TARVIK_BENCH_BIG"))
        benchmark::RegisterBenchmark("BM_AnalyzeOneLongLine", BM_AnalyzeOneLongLine)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
