#pragma once

#include <algorithm>
#include <cstdint>

namespace tarvik {

// The counts a fight keeps per character, added up the same way wherever
// fights, or their rows, are seen as one.
template <class Counts>
void AddFightCounts(Counts& to, const Counts& from)
{
    to.damageDealt += from.damageDealt;
    to.damageTaken += from.damageTaken;
    to.attacks += from.attacks;
    to.hits += from.hits;
    to.criticalHits += from.criticalHits;
    to.blows += from.blows;
    to.largestBlow = std::max(to.largestBlow, from.largestBlow);
    to.kills += from.kills;
    to.deaths += from.deaths;
    to.healingReceived += from.healingReceived;
}

// Stretches a first..last span of seconds to take in at; seen says whether
// the span holds anything yet.
inline void WidenSpan(bool& seen, int64_t& first, int64_t& last, int64_t at)
{
    if (!seen) {
        seen = true;
        first = last = at;
        return;
    }
    first = std::min(first, at);
    last = std::max(last, at);
}

} // namespace tarvik
