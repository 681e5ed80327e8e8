#pragma once

#include <string>
#include <vector>

namespace tarvik {

// The program's arguments after its name, as UTF-8. On Windows they are read
// as UTF-16 from the system, since argv holds them in the ANSI code page,
// which cannot spell every file name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error as plain bytes: on Windows no "\n" becomes
// "\r\n", so reports are the same file on every system, and a console shows
// them as UTF-8.
void UseByteExactStandardOutput();

} // namespace tarvik
