#include "StatusTexts.h"

#include "analysis/AnalysisData.h"
#include "analysis/Session.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

namespace tarvik {

std::string ProgressText(const AnalysisData& data)
{
    std::string text = "Analyzing logs...\n\n" + FormatThousands(data.linesRead) +
                       " lines read.\n" + FormatThousands(data.recordsParsed) + " records parsed";
    if (data.linesRead < 1)
        return text + ".";
    return text + " (" + RoundedText(data.recordsParsed * 100.0 / data.linesRead, 1) + "%).";
}

std::string SummaryText(const AnalysisData& data, int32_t files, int64_t elapsedMs)
{
    double seconds = RoundNumber(static_cast<double>(elapsedMs) / 1000.0, 2);
    std::string secondsText = FormatDecimal(seconds);
    const auto whole = RoundToInt32(seconds);
    if (!whole || *whole < 1) {
        // A very short run counts as one second, so the rate never divides by zero.
        secondsText = "1";
        seconds = 1;
    }
    std::string text = "Analyzing logs...complete.\n\n" + FormatThousands(files) +
                       " log file(s) analyzed in " + secondsText + " second(s).\n" +
                       FormatThousands(data.linesRead) + " lines parsed into " +
                       FormatThousands(data.recordsParsed) + " records";
    if (data.linesRead > 0) {
        text += " (" + RoundedText(data.recordsParsed * 100.0 / data.linesRead, 1) + "%).\n(" +
                RoundedText(data.linesRead / seconds, 0) + " lines per second.)";
    } else {
        text += ".";
    }
    return text;
}

std::string UserCharacterText(const AnalysisData& data)
{
    const Character* user = data.characters.At(data.userCharacterId);
    if (!user)
        return {};
    std::string how;
    switch (data.userFoundBy) {
    case UserFoundBy::InitiativeRolls:
        how = ", found by its initiative rolls";
        break;
    case UserFoundBy::SpellResistanceLines:
        how = ", found by its spell-resistance lines";
        break;
    case UserFoundBy::AbsorbLines:
        how = ", found by its absorb lines";
        break;
    case UserFoundBy::Hand:
        how = ", marked by hand";
        break;
    case UserFoundBy::None:
        break;
    }
    return "Your character: " + user->Name() + how + ".";
}

std::string LineClassesText(const LineCounts& counts)
{
    std::string text;
    for (size_t c = 0; c < LineClassCount; ++c) {
        const auto lineClass = static_cast<LineClass>(c);
        const int64_t count = counts[lineClass];
        if (count == 0 && lineClass != LineClass::Problem)
            continue;
        if (!text.empty())
            text += ", ";
        text += FormatThousands(count) + " " + std::string(LineClassName(lineClass));
        if (lineClass == LineClass::Problem && count != 1)
            text += "s";
    }
    return text;
}

std::string LinesWithoutRecordText(const LineCounts& counts)
{
    const int64_t total = counts.Total();
    return FormatThousands(total) + (total == 1 ? " line" : " lines") +
           " without a record: " + LineClassesText(counts) + ".";
}

std::string StopReasonText(const DriverResult& result)
{
    if (!result.aborted)
        return {};
    if (result.seriousError)
        return "Log analysis stopped by an error in [" + result.stoppedAt +
               "].  (Check the Errors tab.)";
    return "Log file [" + result.stoppedAt + "] holds no lines; the analysis stopped.";
}

} // namespace tarvik
