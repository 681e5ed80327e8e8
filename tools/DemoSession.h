#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// A demo session as a player's logs would hold it: a party of four (Aldric
// Voss, the log's owner, with Brenna Tal, Mirek the Grey and Sefa Dunmoor)
// through two evenings of fights with bosses, damage immunities,
// resistances, saving throws, deaths and a level-up, with the chat, loot and
// noise between them. The first evening is written as the classic client
// writes (zero-padded days, CR LF), the second as the Enhanced Edition does
// (blank-padded days, a session header, engine lines, LF). The same seed
// gives the same bytes.
struct DemoLog {
    std::string name; // nwclientLog1.txt, ...
    std::string contents;
};
std::vector<DemoLog> WriteDemoSession(uint64_t seed = 18);

} // namespace tarvik
