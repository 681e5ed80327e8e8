#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct AnalysisData;
struct DriverResult;

// The "Status" tab's text while a run is going on.
std::string ProgressText(const AnalysisData& data);
// The "Status" tab's summary of a finished run, from its elapsed milliseconds.
std::string SummaryText(const AnalysisData& data, int32_t files, int64_t elapsedMs);
// Why a run stopped early, for the status bar; empty for a run that did not.
std::string StopReasonText(const DriverResult& result);

} // namespace tarvik
