#pragma once

#include <string>
#include <vector>

namespace tarvik {

class Session;

// The whole analysis as one self-contained HTML page (well-formed XHTML, so
// it also reads as XML): session statistics, the fights, every character,
// the targets, and per fight its characters, its damage chart as inline SVG
// and its death recaps. Every text from the logs is decoded and escaped.
// files: the logs' names; errorLines: the lines that could not be used.
std::string HtmlReport(const Session& session, const std::vector<std::string>& files,
                       const std::vector<std::string>& errorLines);

} // namespace tarvik
