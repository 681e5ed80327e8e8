#pragma once

#include <optional>

namespace tarvik {

// The main window's long work: an analysis run and an update check. Both let
// the event loop run while they last (the analysis yields, the check waits
// for the network), so timers and queued calls reach the window meanwhile.
// Neither starts inside the other: a request that comes while the other runs
// waits and is handed back when that ends. A second request of the kind that
// runs is refused.
//
// The window is disabled while work runs. Disabling nests: every Disable is
// ended by one Enable, and only the last Enable gives the window back.
class LongWork {
public:
    enum class Kind { Analysis, UpdateCheck };

    // True when kind may start now; it then counts as running until Finish.
    // Otherwise kind waits (when the other kind runs) or is refused.
    bool Start(Kind kind);
    // kind ended; returns the kind that waited for it, to be started now.
    std::optional<Kind> Finish(Kind kind);
    bool Running(Kind kind) const;
    bool AnyRunning() const { return analysis_ || updateCheck_; }

    void Disable() { ++disabled_; }
    // True when this ended the last Disable: the window may be enabled.
    bool Enable();
    bool Disabled() const { return disabled_ > 0; }

private:
    bool analysis_ = false;
    bool updateCheck_ = false;
    std::optional<Kind> waiting_;
    int disabled_ = 0;
};

} // namespace tarvik
