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

// The document written straight to the stream, never held as text too.
void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines, const ReportSections& sections = {});

} // namespace tarvik
