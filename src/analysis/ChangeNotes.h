#pragma once

#include "model/Indices.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

class SessionHost;

// What a read changed that whoever shows the session may redraw: noted line
// by line at the cost of a comparison, told to the host at once.
class ChangeNotes {
public:
    void Character(CharacterId id)
    {
        const auto index = static_cast<size_t>(id.value());
        if (index >= noted_.size() || !noted_[index])
            Note(id);
    }
    void RealTime() { realTime_ = true; }

    // Tells host what changed since it was last told.
    void Tell(SessionHost& host);
    // Forgets the changed characters, untold: they are gone.
    void ForgetCharacters();

private:
    void Note(CharacterId id);

    std::vector<uint8_t> noted_;   // by the character ID's value
    std::vector<CharacterId> ids_; // in the order first changed
    bool realTime_ = false;
};

} // namespace tarvik
