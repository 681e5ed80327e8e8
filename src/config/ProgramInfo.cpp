#include "ProgramInfo.h"

#include "Version.h"

#include <cstdio>

namespace tarvik {

ProgramVersion ProgramInfo::RunningVersion()
{
    return {version::Major, version::Minor, version::Revision};
}

std::string ProgramInfo::ProductName()
{
    return version::ProductName;
}

std::string ProgramInfo::VersionText()
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "v%d.%02d build %d", version::Major, version::Minor,
                  version::Revision);
    return buffer;
}

std::string ProgramInfo::ProductAndVersion()
{
    return ProductName() + " " + VersionText();
}

std::string ProgramInfo::Subtitle()
{
    return "Neverwinter Nights Combat Log Analyzer";
}

std::string ProgramInfo::WindowTitle()
{
    return ProductName() + " - " + Subtitle() + " - " + VersionText();
}

std::string ProgramInfo::SupportAddress()
{
    return "support@tarvik.example.org";
}

std::string ProgramInfo::Tagline()
{
    return "Because there's no such thing as too much data to a geek.";
}

} // namespace tarvik
