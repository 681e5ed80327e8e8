#include "Win32WindowLister.h"

#include "util/Encoding.h"

#include <unordered_map>
#include <windows.h>

namespace tarvik {

namespace {

// Titles and class names are read into buffers of this many characters;
// longer titles are cut, which a substring match does not mind.
constexpr int MaxText = 256;

std::string Utf8Of(const wchar_t* text, int length)
{
    if (length <= 0)
        return {};
    return Utf16ToUtf8(std::wstring_view(text, static_cast<size_t>(length)));
}

// The file name of a program; empty when the process cannot be asked
// (another user's, or gone meanwhile).
std::string ProgramFileName(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return {};
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    if (!ok)
        return {};
    std::wstring_view full(path, length);
    const size_t separator = full.find_last_of(L"\\/");
    if (separator != std::wstring_view::npos)
        full.remove_prefix(separator + 1);
    return Utf16ToUtf8(full);
}

struct Listing {
    std::vector<WindowInfo> windows;
    // Most programs own several windows; each is asked once per listing.
    std::unordered_map<DWORD, std::string> programs;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM data)
{
    Listing& listing = *reinterpret_cast<Listing*>(data);
    wchar_t text[MaxText];
    WindowInfo info;
    info.title = Utf8Of(text, GetWindowTextW(window, text, MaxText));
    if (std::string name = Utf8Of(text, GetClassNameW(window, text, MaxText)); !name.empty())
        info.classNames.push_back(std::move(name));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    auto program = listing.programs.find(processId);
    if (program == listing.programs.end())
        program = listing.programs.emplace(processId, ProgramFileName(processId)).first;
    if (!program->second.empty())
        info.classNames.push_back(program->second);
    listing.windows.push_back(std::move(info));
    return TRUE;
}

} // namespace

std::vector<WindowInfo> Win32WindowLister::TopLevelWindows()
{
    Listing listing;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&listing));
    return std::move(listing.windows);
}

} // namespace tarvik
