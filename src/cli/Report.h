#pragma once

#include "ui/DetailGrid.h"

#include <ostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tarvik {

class Session;
struct DriverResult;

// What the reports add to the statistics on request.
struct ReportSections {
    bool fights = false;  // fights with their characters and death recaps
    bool targets = false; // what the rolls tell of every enemy
};

// Text form of a two-column grid: labels aligned, one row per line.
std::string GridText(const DetailGrid& grid);

// The whole report: summary, session statistics and each character's
// general information.
std::string TextReport(const Session& session, const DriverResult& result,
                       const ReportSections& sections = {});

// The same facts as one JSON document.
nlohmann::ordered_json JsonDocument(const Session& session, const std::vector<std::string>& files,
                                    const std::vector<std::string>& errorLines,
                                    const ReportSections& sections = {});

// The document written straight to the stream, never held as text too.
void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines, const ReportSections& sections = {});

} // namespace tarvik
