#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

class Session;

// What the reports add to the statistics on request.
struct ReportSections {
    bool fights = false;  // fights with their characters and death recaps
    bool targets = false; // what the rolls tell of every enemy
};

// The statistics as one JSON document: tarvik-cli's --json and the window's
// export both write this.
nlohmann::ordered_json JsonDocument(const Session& session, const std::vector<std::string>& files,
                                    const std::vector<std::string>& errorLines,
                                    const ReportSections& sections = {});

// The document as JsonDocument(...).dump(indent) writes it, after the
// members of leading, built one character at a time: memory follows what
// one character holds, not the whole list.
void WriteJsonDocument(std::ostream& out, const Session& session,
                       const std::vector<std::string>& files,
                       const std::vector<std::string>& errorLines, const ReportSections& sections,
                       int indent, const nlohmann::ordered_json& leading = {});

// The document with an indent of 2 and a line end, as tarvik-cli --json prints it.
void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines, const ReportSections& sections = {});

} // namespace tarvik
