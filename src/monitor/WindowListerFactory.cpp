#include "WindowListerFactory.h"

#include "NullWindowLister.h"
#include "diag/DebugLog.h"

#ifdef TARVIK_HAVE_X11
#include "x11/X11WindowLister.h"
#endif

namespace tarvik {

std::unique_ptr<WindowLister> CreateWindowLister(DebugLog& debug, const std::string& displayName)
{
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
}

} // namespace tarvik
