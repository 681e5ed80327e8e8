#pragma once

#include "analysis/LineClass.h"

#include <cstdint>
#include <string>

namespace tarvik {

struct AnalysisData;
struct DriverResult;

// The "Status" tab's text while a run is going on.
std::string ProgressText(const AnalysisData& data);
// The "Status" tab's summary of a finished run, from its elapsed milliseconds.
std::string SummaryText(const AnalysisData& data, int32_t files, int64_t elapsedMs);
// "Your character: Vexa, found by its spell-resistance lines."; empty while
// no character is marked as the user's.
std::string UserCharacterText(const AnalysisData& data);
// The classes of the error list's lines, those met only:
// "379 blank, 120 session header, 6 engine, 1 problem"; problems always.
std::string LineClassesText(const LineCounts& counts);
// "959 lines without a record: " and the classes, for the summary of a run.
std::string LinesWithoutRecordText(const LineCounts& counts);
// Why a run stopped early, for the status bar; empty for a run that did not.
std::string StopReasonText(const DriverResult& result);

} // namespace tarvik
