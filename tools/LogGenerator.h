#pragma once

#include "LogLines.h"
#include "SplitMix.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace tarvik {

// Writes a game log with a realistic mix of combat, chat and noise, the same
// for the same seed, for benchmarks and large-file tests.
class LogGenerator {
public:
    enum class Style { EnhancedEdition, Classic };

    struct Options {
        int64_t lines = 1000;
        uint64_t seed = 1;
        Style style = Style::EnhancedEdition;
        bool crlf = true;
    };

    explicit LogGenerator(Options options);
    // Writes options.lines lines; returns the bytes written.
    int64_t Write(std::ostream& out);

private:
    int Below(int n) { return random_.Below(n); }
    bool Chance(int percent) { return random_.Chance(percent); }
    // The time of the next dated line.
    StampTime NextTime();
    std::string Body();
    std::string Attack(const std::string& attacker, const std::string& defender);
    std::string Damage(const std::string& attacker, const std::string& defender);
    std::string Save(const std::string& defender);
    const std::string& Hero();
    const std::string& Monster();

    Options options_;
    SplitMix random_;
    LogLineWriter writer_;
    int64_t secondOfDay_ = 20 * 3600;
    int day_ = 3;
};

} // namespace tarvik
