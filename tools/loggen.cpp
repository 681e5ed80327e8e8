// tarvik-loggen: writes a generated game log for benchmarks and tests, the
// demo session shipped in data/samples/demo, or a raid on one boss.
#include "DemoSession.h"
#include "LogGenerator.h"
#include "RaidSession.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// Writes one log into folder and says so; false when it could not be written.
bool WriteLogFile(const std::string& folder, const std::string& name, const std::string& contents)
{
    const std::string path = folder + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << contents;
    if (!out.flush()) {
        std::cerr << "tarvik-loggen: cannot write " << path << "\n";
        return false;
    }
    std::cout << contents.size() << " bytes written to " << path << "\n";
    return true;
}

int WriteDemo(const std::string& folder, uint64_t seed)
{
    for (const auto& log : tarvik::WriteDemoSession(seed)) {
        if (!WriteLogFile(folder, log.name, log.contents))
            return 1;
    }
    return 0;
}

int WriteRaidLog(const std::string& folder, uint64_t seed)
{
    tarvik::RaidPlan plan = tarvik::DefaultRaid();
    plan.seed = seed;
    const tarvik::RaidLog log = tarvik::WriteRaid(plan);
    return WriteLogFile(folder, log.name, log.contents) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--demo")
        return WriteDemo(argv[2], argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 18);
    if (argc >= 3 && std::string(argv[1]) == "--raid")
        return WriteRaidLog(argv[2], argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 7);
    if (argc < 3) {
        std::cerr << "Usage: tarvik-loggen LINES FILE [SEED] [ee|classic]\n"
                     "       tarvik-loggen --demo FOLDER [SEED]\n"
                     "       tarvik-loggen --raid FOLDER [SEED]\n";
        return 2;
    }
    tarvik::LogGenerator::Options options;
    options.lines = std::atoll(argv[1]);
    if (argc > 3)
        options.seed = std::strtoull(argv[3], nullptr, 10);
    if (argc > 4 && std::string(argv[4]) == "classic")
        options.style = tarvik::LogGenerator::Style::Classic;
    std::ofstream out(argv[2], std::ios::binary);
    if (!out) {
        std::cerr << "tarvik-loggen: cannot write " << argv[2] << "\n";
        return 1;
    }
    const auto bytes = tarvik::LogGenerator(options).Write(out);
    std::cout << options.lines << " lines, " << bytes << " bytes written to " << argv[2] << "\n";
    return out ? 0 : 1;
}
