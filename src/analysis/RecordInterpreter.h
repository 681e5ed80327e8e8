#pragma once

#include "EventRecorder.h"
#include "RecordContext.h"
#include "RecordParser.h"
#include "util/Error.h"

namespace tarvik {

// The road of one classified record: RecordParser takes it apart by its
// kind, EventRecorder records what it says. A record that cannot be taken
// apart is reported in the error list and skipped; a returned Error (an
// overflow, a number that is none) ends the whole read.
class RecordInterpreter {
public:
    RecordInterpreter(const AnalysisConfig& config, const RecordTargets& targets);

    Error Interpret(const RecordContext& record);
    // A line of no configured record type: a few of them tell who is who
    // (the owner's spell-resistance lines, its dominated pets).
    void InterpretUnclassified(const RecordContext& record);

private:
    RecordParser parser_;
    EventRecorder recorder_;
};

} // namespace tarvik
