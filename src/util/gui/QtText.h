#pragma once

#include "util/Encoding.h"

#include <string>
#include <string_view>

#include <QString>

namespace tarvik {

// Engine text (log bytes: Windows-1252 or UTF-8) for display.
inline QString ToQString(std::string_view text)
{
    const std::string utf8 = DisplayText(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A path or other text typed by the user, for the engine.
inline std::string ToStdString(const QString& text)
{
    return text.toStdString();
}

} // namespace tarvik
