#pragma once

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
    uint64_t Next();
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    std::string Stamp();
    std::string Body();
    std::string Attack(const std::string& attacker, const std::string& defender);
    std::string Damage(const std::string& attacker, const std::string& defender);
    const std::string& Hero();
    const std::string& Monster();

    Options options_;
    uint64_t state_;
    int64_t secondOfDay_ = 20 * 3600;
    int day_ = 3;
};

} // namespace tarvik
