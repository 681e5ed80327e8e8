#pragma once

#include "config/RecordKind.h"
#include "util/DateTime.h"

#include <cstddef>
#include <string_view>

namespace tarvik {

// One classified record, as the reader hands it on.
struct RecordContext {
    std::string_view line;
    std::string_view body; // the record text, trimmed
    RecordKind kind = RecordKind::Unknown;
    std::string_view identifier; // the identifier that classified it (lower case)
    size_t identifierAt = 0;     // where it first occurs in body
    DateTime date;               // of the line
};

} // namespace tarvik
