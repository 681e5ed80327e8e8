#include "Follow.h"

#include "FollowStream.h"
#include "analysis/Session.h"
#include "monitor/LogFollower.h"
#include "util/Clock.h"
#include "util/Encoding.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace tarvik {

namespace {

// Set by the signal handler, which can reach nothing else.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int)
{
    stopRequested = 1;
}

// Installs the handlers for the lifetime of a follow and puts the old ones back.
class StopSignals {
public:
    StopSignals()
    {
        stopRequested = 0;
#ifdef _WIN32
        // Windows has no sigaction; its console delivers Ctrl+C as SIGINT.
        oldInt_ = std::signal(SIGINT, RequestStop);
        oldTerm_ = std::signal(SIGTERM, RequestStop);
#else
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
#endif
    }
    ~StopSignals()
    {
#ifdef _WIN32
        std::signal(SIGINT, oldInt_);
        std::signal(SIGTERM, oldTerm_);
#else
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
#endif
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
#ifdef _WIN32
    void (*oldInt_)(int) = SIG_DFL;
    void (*oldTerm_)(int) = SIG_DFL;
#else
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
#endif
};

} // namespace

std::vector<std::string> FollowedLogNames(Session& session)
{
    std::vector<std::string> names;
    for (const KnownLog& log : session.Monitor().logs)
        names.push_back(log.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

int RunFollow(Session& session, const FollowOptions& options, DebugLog& debug, const Clock& clock,
              std::ostream& out, std::ostream& err)
{
    StopSignals signals;
    session.ClearAllData();
    session.SetMonitoringEnabled(true);
    LogFollower follower(session.Monitor(), session.FollowerHooks(), debug, clock);
    FollowStream stream(session, out, options.sections);
    const TickInput input{options.folder, options.mask, false, true};
    const int64_t deadline =
        options.forSeconds > 0 ? clock.TickMs() + options.forSeconds * 1000 : 0;
    std::string lastFailure;
    int status = 0;
    std::vector<std::string> files;
    TickResult result;

    for (;;) {
        const bool last = stopRequested || (deadline > 0 && clock.TickMs() >= deadline);
        follower.Tick(input, result);
        if (result.outcome == TickOutcome::Failed && result.Message() != lastFailure) {
            lastFailure = result.Message();
            err << "tarvik-cli: " << TerminalText(lastFailure) << '\n';
        }
        // What was read stays; the follower forgets its places when a log vanishes.
        if (result.outcome != TickOutcome::LogVanished)
            files = FollowedLogNames(session);
        stream.AfterTick(clock.Now());
        if (result.outcome == TickOutcome::LogVanished) {
            err << "tarvik-cli: " << TerminalText(result.messageBox) << '\n';
            status = 1;
            break;
        }
        if (result.outcome == TickOutcome::Aborted || result.outcome == TickOutcome::Stopped) {
            status = 1;
            break;
        }
        if (last)
            break;
        // Sleep in small steps so that a signal ends the wait soon.
        const int64_t wake = clock.TickMs() + options.tickMs;
        while (!stopRequested && clock.TickMs() < wake &&
               !(deadline > 0 && clock.TickMs() >= deadline)) {
            const int64_t step = std::min<int64_t>(50, std::max<int64_t>(1, wake - clock.TickMs()));
            if (options.idle)
                options.idle(step);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(step));
        }
    }
    session.SetMonitoringEnabled(false);
    stream.Finish(files, session.Errors().Lines());
    return status;
}

} // namespace tarvik
