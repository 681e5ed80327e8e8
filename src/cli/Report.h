#pragma once

#include "report/JsonReport.h"
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
void TextReport(std::ostream& out, const Session& session, const DriverResult& result,
                const ReportSections& sections = {});

} // namespace tarvik
