#pragma once

#include "ui/DetailGrid.h"

#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

class Session;
struct DriverResult;

// Text form of a two-column grid: labels aligned, one row per line.
std::string GridText(const DetailGrid& grid);

// The whole report: summary, session statistics and each character's
// general information.
std::string TextReport(const Session& session, const DriverResult& result);

// The same facts as one JSON document, written as it is built so that a long
// error list is never held twice.
void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines);

} // namespace tarvik
