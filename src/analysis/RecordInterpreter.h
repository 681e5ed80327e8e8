#pragma once

#include "EventRecorder.h"
#include "RecordContext.h"
#include "RecordParser.h"
#include "UndatedLines.h"
#include "util/Error.h"

namespace tarvik {

// The road of one classified record: RecordParser takes it apart by its
// kind, EventRecorder records what it says. A record that cannot be taken
// apart, or whose amount is out of range, is reported in the error list and
// skipped; a returned Error (a count that would overflow, an amount that is
// no number) ends the whole read.
class RecordInterpreter final : public ContinuationSink {
public:
    RecordInterpreter(const AnalysisConfig& config, const RecordTargets& targets);

    Error Interpret(const RecordContext& record);
    // A server's "X is immune to to FEAR effects" is also an immunity of X,
    // dated as the line it continues.
    void Continuation(const ContinuationLine& line) override;
    // A line of no configured record type: a few of them tell who is who
    // (the owner's dominated pets).
    void InterpretUnclassified(const RecordContext& record);

private:
    const RecordTypes& types_;
    RecordParser parser_;
    EventRecorder recorder_;
};

} // namespace tarvik
