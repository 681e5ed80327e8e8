// tarvik-loggen: writes a generated game log for benchmarks and tests.
#include "LogGenerator.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "Usage: tarvik-loggen LINES FILE [SEED] [ee|classic]\n";
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
