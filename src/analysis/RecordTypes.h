#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RecordKind.h"
#include "RecordType.h"

namespace tarvik {

// The configured record types, in configuration order, found by name
// without regard to case.
class RecordTypes {
public:
    struct Match {
        const RecordType* type = nullptr;
        RecordKind kind = RecordKind::Unknown;
        std::string_view identifier; // lower case; valid while the types live
        explicit operator bool() const { return type != nullptr; }
    };

    // Adds a type; a name already present (ignoring case) is refused.
    bool Add(RecordType type);
    int Count() const { return static_cast<int>(types_.size()); }
    const RecordType* Find(std::string_view name) const;
    const std::vector<RecordType>& Types() const { return types_; }

    // The first type, in order, one of whose identifiers occurs in body
    // (ignoring case), with the first of its identifiers that occurs.
    // Scans the body once whatever the number of identifiers.
    Match Classify(std::string_view body) const;

private:
    void Build();

    std::vector<RecordType> types_;
    std::vector<RecordKind> kinds_;
    // Identifiers in priority order: type order, then identifier order.
    struct Pattern {
        uint16_t type;
        uint16_t identifier;
    };
    std::vector<Pattern> patterns_;
    // Aho-Corasick automaton over folded bytes, compressed to byte classes.
    uint8_t classOf_[256] = {};
    int classCount_ = 1;
    std::vector<int32_t> next_;   // state * classCount_ + class -> state
    std::vector<int32_t> output_; // state -> lowest pattern index ending here, or -1
    int32_t emptyPattern_ = -1;   // lowest empty identifier: matches any non-empty body
};

} // namespace tarvik
