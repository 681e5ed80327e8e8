#include "WindowListerFactory.h"

#include "NullWindowLister.h"
#include "diag/DebugLog.h"

#ifdef TARVIK_HAVE_X11
#include "x11/X11WindowLister.h"
#endif
#ifdef TARVIK_HAVE_WIN32
#include "win32/Win32WindowLister.h"
#endif

namespace tarvik {

std::unique_ptr<WindowLister> CreateWindowLister(DebugLog& debug, const std::string& displayName)
{
#if defined(TARVIK_HAVE_WIN32)
    (void)displayName;
    debug.LogDebug("Monitoring:  Game detection reads the Windows desktop's window list.", 3);
    return std::make_unique<Win32WindowLister>();
#else
#ifdef TARVIK_HAVE_X11
    if (auto lister = X11WindowLister::Open(displayName)) {
        debug.Log(3, [&] {
            return "Monitoring:  Game detection reads the window list of X display " +
                   lister->DisplayName() + ".";
        });
        return lister;
    }
#else
    (void)displayName;
#endif
    return std::make_unique<NullWindowLister>(debug);
#endif
}

} // namespace tarvik
