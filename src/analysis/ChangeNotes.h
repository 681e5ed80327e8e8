#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

class SessionHost;

// What a read changed that whoever shows the session may redraw: noted line
// by line at the cost of a comparison, told to the host at once.
class ChangeNotes {
public:
    void Character(int32_t id)
    {
        const auto index = static_cast<size_t>(id);
        if (index >= noted_.size() || !noted_[index])
            Note(id);
    }
    void RealTime() { realTime_ = true; }

    // Tells host what changed since it was last told.
    void Tell(SessionHost& host);
    // Forgets the changed characters, untold: they are gone.
    void ForgetCharacters();

private:
    void Note(int32_t id);

    std::vector<uint8_t> noted_; // by character ID
    std::vector<int32_t> ids_;   // in the order first changed
    bool realTime_ = false;
};

} // namespace tarvik
