#pragma once

#include <string>
#include <string_view>

namespace tarvik {

bool IsValidUtf8(std::string_view bytes);
std::string Cp1252ToUtf8(std::string_view bytes);
// Log bytes as UTF-8 for display: valid UTF-8 stays, anything else is read
// as Windows-1252.
std::string DisplayText(std::string_view bytes);
// Log bytes as DisplayText gives them, for a terminal: control characters
// (C0, DEL and C1) are written the way JSON writes them ("\u001b", "\t"), so
// that no escape sequence in a log reaches the terminal.
std::string TerminalText(std::string_view bytes);
// True when the start of a file reads as UTF-16: a byte-order mark, or a NUL
// in every other byte as Latin text has in that encoding.
bool LooksLikeUtf16(std::string_view start);

// UTF-16 (as Windows calls take and give text) to UTF-8 and back; what cannot
// be converted (a lone surrogate, a broken UTF-8 sequence) becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
#ifdef _WIN32
// wchar_t is UTF-16 on Windows.
std::string Utf16ToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
#endif

} // namespace tarvik
