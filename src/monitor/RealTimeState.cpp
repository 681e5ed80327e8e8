#include "RealTimeState.h"

#include "diag/DebugLog.h"
#include "util/Clock.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

int32_t RoundHalfEven(double value)
{
    return static_cast<int32_t>(std::nearbyint(value));
}

} // namespace

RealTimeState::RealTimeState(const Clock& clock, DebugLog& debug, int damageTypeCount)
    : clock_(clock)
    , debug_(debug)
    , damageTypeCount_(damageTypeCount)
    , ownSamples_(20, 0)
    , enemySamples_(20, 0)
{
}

int32_t RealTimeState::SecondsOfDayAfter(int32_t seconds) const
{
    int32_t result = RoundHalfEven(clock_.Now().SecondsOfDay()) + seconds;
    if (result >= 86400)
        result -= 86400;
    return result;
}

void RealTimeState::StartFugueTimer(DateTime death)
{
    const DateTime expiry = death.AddSeconds(fugueExpirySeconds_);
    if (expiry < clock_.Now()) {
        debug_.Log(3, [&] { return "Fugue timer of " + death.Format() + " has already run out."; });
        return;
    }
    // The same death read twice (a log read again) is one timer.
    if (std::find(fugueTimers_.begin(), fugueTimers_.end(), expiry) != fugueTimers_.end())
        return;
    fugueTimers_.push_back(expiry);
}

void RealTimeState::GetFugueTimers(int32_t& secondsToNext, int32_t& count)
{
    debug_.LogDebug("Getting the current fugue timer data.", 4);
    const bool hadTimers = !fugueTimers_.empty();
    const DateTime now = clock_.Now();
    std::erase_if(fugueTimers_, [now](DateTime expiry) { return expiry < now; });
    if (!fugueTimers_.empty()) {
        const double seconds =
            static_cast<double>(fugueTimers_.front().Milliseconds() - now.Milliseconds()) / 1000.0;
        secondsToNext = RoundHalfEven(seconds);
    }
    count = static_cast<int32_t>(fugueTimers_.size());
    if (hadTimers) {
        debug_.Log(3, [&] {
            return std::to_string(count) +
                   " fugue timers found.  Expiring?: " + (count > 0 ? "True" : "False") + ".";
        });
    }
}

void RealTimeState::ClearFugueTimers()
{
    fugueTimers_.clear();
    debug_.LogDebug("Fugue timers cleared.", 3);
}

void RealTimeState::SetFugueTimers(int32_t lengthMinutes, int32_t warningSeconds)
{
    fugueExpirySeconds_ = std::clamp(lengthMinutes, 1, 60) * 60;
    fugueWarningSeconds_ = std::clamp(warningSeconds, 10, 60);
    if (fugueExpirySeconds_ <= fugueWarningSeconds_)
        fugueExpirySeconds_ = fugueWarningSeconds_ + 1;
    debug_.Log(3, [&] {
        return "Setting fugue timer expiration to " + std::to_string(fugueExpirySeconds_) +
               " and warning to " + std::to_string(fugueWarningSeconds_) + ".";
    });
}

void RealTimeState::LogAttackBonus(bool own, int32_t value)
{
    std::vector<int32_t>& ring = own ? ownSamples_ : enemySamples_;
    int32_t& position = own ? ownPosition_ : enemyPosition_;
    if (ring.empty())
        return;
    ++position;
    if (position > static_cast<int32_t>(ring.size()))
        position = 1;
    ring[static_cast<size_t>(position - 1)] = value;
    debug_.Log(2, [&] {
        return "Logged new AttackBonus [" + std::to_string(value) +
               "] to the rolling average array in position #" + std::to_string(position) + ".";
    });
}

void RealTimeState::GetAverageAB(int32_t& ownAverage, int32_t& enemyAverage) const
{
    debug_.LogDebug("Getting average AB.", 3);
    auto average = [](const std::vector<int32_t>& ring) {
        int64_t sum = 0;
        int64_t count = 0;
        for (int32_t sample : ring) {
            if (sample > 0) {
                sum += sample;
                ++count;
            }
        }
        return count >= 1 ? static_cast<int32_t>(sum / count) : 0;
    };
    ownAverage = average(ownSamples_);
    enemyAverage = average(enemySamples_);
}

void RealTimeState::SetNumABRecords(int32_t records)
{
    records = std::clamp(records, 10, 100);
    debug_.Log(3,
               [&] { return "Setting number of AB records to: " + std::to_string(records) + "."; });
    ownSamples_.assign(static_cast<size_t>(records), 0);
    enemySamples_.assign(static_cast<size_t>(records), 0);
}

bool RealTimeState::LogAttackDamage(bool own, const DamageBreakdown& damage)
{
    std::deque<AttackRecord>& list = own ? ownRecords_ : enemyRecords_;
    debug_.LogDebug("Logging attack data into rolling average.", 2);
    const DateTime now = clock_.Now();
    const int64_t interval = static_cast<int64_t>(rollingIntervalMinutes_) * 60;
    if (!nextRollover_)
        nextRollover_ = now.AddSeconds(interval);
    if (!(now <= *nextRollover_ && !list.empty())) {
        debug_.Log(3, [&] {
            return "Creating new attack record #" + std::to_string(list.size() + 1) + ".";
        });
        // A sample holder: it pairs no characters.
        list.emplace_back();
        list.back().CreateAttackRecord(CharacterId::None(), CharacterId::None(), damageTypeCount_);
        while (list.size() > static_cast<size_t>(maxAttackRecords_))
            list.pop_front();
    }
    debug_.LogDebug("Recording the attack data into the current record.", 3);
    if (!list.back().AddAttack(damage))
        return false;
    nextRollover_ = now.AddSeconds(interval);
    debug_.Log(3, [&] {
        return "Next real-time attack average rollover scheduled at " +
               now.AddSeconds(interval).FormatTime() + ".";
    });
    return true;
}

void RealTimeState::SetRTRollingAverage(int32_t minutes)
{
    rollingIntervalMinutes_ = std::max(minutes, 1);
    maxAttackRecords_ =
        static_cast<int32_t>(std::min<int64_t>(int64_t{rollingIntervalMinutes_} * 10, 60));
    debug_.Log(3, [&] {
        return "Setting real-time rolling average intervals to " +
               std::to_string(maxAttackRecords_) + " intervals of " +
               std::to_string(rollingIntervalMinutes_) + " size.";
    });
}

void RealTimeState::ClearRealTimeData()
{
    ownRecords_.clear();
    enemyRecords_.clear();
    lastConcealment_ = 0;
    std::fill(ownSamples_.begin(), ownSamples_.end(), 0);
    std::fill(enemySamples_.begin(), enemySamples_.end(), 0);
    ownPosition_ = 0;
    enemyPosition_ = 0;
    debug_.LogDebug("Real-time data cleared.", 3);
}

int32_t RealTimeState::ClampHoverInterval(int32_t milliseconds)
{
    return std::clamp(milliseconds, 100, 500);
}

} // namespace tarvik
