#include "UpdateDescription.h"

#include "config/IniFile.h"

namespace tarvik {

bool IsUpdateDescription(std::string_view text, std::string_view productName)
{
    // Only a text file can be one; a NUL byte means something else came back.
    if (text.find('\0') != std::string_view::npos)
        return false;
    const IniDocument description = IniDocument::Parse(text);
    return description.HasKey(productName, "UpdateFile") &&
           description.HasKey(productName, "CurrentVersion");
}

} // namespace tarvik
