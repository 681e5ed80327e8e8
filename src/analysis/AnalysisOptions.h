#pragma once

namespace tarvik {

// Options of the analysis that the user switches.
struct AnalysisOptions {
    bool autodetectParty = false;
    bool monitoringEnabled = false;
};

} // namespace tarvik
