#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class Session;

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, a CR or
// an LF, quotes doubled. A text that a spreadsheet would run as a formula
// (starting with = + - @, a tab or a CR) gets a leading apostrophe first,
// so a character named "=HYPERLINK(...)" stays a name.
std::string CsvField(std::string_view text);
// Rows of already made fields, joined by commas, each ended by CR LF.
std::string CsvRows(const std::vector<std::vector<std::string>>& rows);

// The fights table as CSV: a header line, then one line per fight in the
// order they began; plain numbers (no digit grouping), DPS with one
// decimal, names decoded to UTF-8.
std::string FightsCsv(const Session& session);

} // namespace tarvik
