#pragma once

#include "Indices.h"

#include <cstdint>
#include <string>

namespace tarvik {

// One distinct spell name seen in the logs, with the ID under which
// characters count its casts.
class Spell {
public:
    // One-time initialiser: takes effect only while the ID names none.
    void CreateSpell(std::string name, SpellId id)
    {
        if (!id_.IsNone())
            return;
        id_ = id;
        name_ = std::move(name);
    }
    SpellId ID() const { return id_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    SpellId id_;
};

} // namespace tarvik
