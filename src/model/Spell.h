#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// One distinct spell name seen in the logs, with the ID under which
// characters count its casts.
class Spell {
public:
    // One-time initialiser: takes effect only while the ID is below 1.
    void CreateSpell(std::string name, int32_t id)
    {
        if (id_ >= 1)
            return;
        id_ = id;
        name_ = std::move(name);
    }
    int32_t ID() const { return id_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    int32_t id_ = 0;
};

} // namespace tarvik
