#pragma once

#include "model/AttackRecord.h"
#include "util/DateTime.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

class Clock;
class DebugLog;

// Short-lived data about the user's own character while playing: fugue
// (death) timers, rolling attack-bonus samples and damage per burst of
// fighting. Times are absolute, so a death just before midnight still gets
// its full fugue timer.
class RealTimeState {
public:
    RealTimeState(const Clock& clock, DebugLog& debug, int damageTypeCount);

    void SetDamageTypeCount(int count) { damageTypeCount_ = count; }

    // The current time of day in whole seconds plus seconds, wrapped at midnight.
    int32_t SecondsOfDayAfter(int32_t seconds) const;

    // Fugue timers.
    // Starts a timer for a death at that date, unless it has already run out:
    // a death read again, or from an old log, starts none.
    void StartFugueTimer(DateTime death);
    // Drops expired timers; count of the rest, and seconds to the next expiry
    // (secondsToNext is untouched when there is none).
    void GetFugueTimers(int32_t& secondsToNext, int32_t& count);
    void ClearFugueTimers();
    void SetFugueTimers(int32_t lengthMinutes, int32_t warningSeconds);
    int32_t FugueExpirySeconds() const { return fugueExpirySeconds_; }
    int32_t FugueWarningSeconds() const { return fugueWarningSeconds_; }
    size_t FugueTimerCount() const { return fugueTimers_.size(); }

    // Attack-bonus rings: own = attacks made by the user's character, enemy =
    // attacks made against it.
    void LogAttackBonus(bool own, int32_t value);
    void GetAverageAB(int32_t& ownAverage, int32_t& enemyAverage) const;
    void SetNumABRecords(int32_t records);
    int32_t GetNumABRecords() const { return static_cast<int32_t>(ownSamples_.size()); }
    const std::vector<int32_t>& OwnABSamples() const { return ownSamples_; }
    const std::vector<int32_t>& EnemyABSamples() const { return enemySamples_; }

    // Damage records, one per interval of fighting. False on counter overflow.
    [[nodiscard]] bool LogAttackDamage(bool own, const DamageBreakdown& damage);
    const std::deque<AttackRecord>& OwnAttackRecords() const { return ownRecords_; }
    const std::deque<AttackRecord>& EnemyAttackRecords() const { return enemyRecords_; }
    void SetRTRollingAverage(int32_t minutes);
    int32_t RollingIntervalMinutes() const { return rollingIntervalMinutes_; }
    int32_t MaxAttackRecords() const { return maxAttackRecords_; }

    // Concealment of the target of the user's last attack, in percent.
    int32_t LastConcealment() const { return lastConcealment_; }
    void SetLastConcealment(int32_t percent) { lastConcealment_ = percent; }

    // Empties damage records, attack-bonus samples and the concealment;
    // fugue timers and the rollover time stay.
    void ClearRealTimeData();

    // The main window's on-top interval follows the HUD's: 100..500 ms.
    static int32_t ClampHoverInterval(int32_t milliseconds);

private:
    const Clock& clock_;
    DebugLog& debug_;
    int damageTypeCount_;

    std::vector<DateTime> fugueTimers_; // expiry times, in start order
    int32_t fugueExpirySeconds_ = 300;
    int32_t fugueWarningSeconds_ = 30;

    std::vector<int32_t> ownSamples_;
    std::vector<int32_t> enemySamples_;
    int32_t ownPosition_ = 0; // 1-based slot written last; 0 = none
    int32_t enemyPosition_ = 0;

    std::deque<AttackRecord> ownRecords_;
    std::deque<AttackRecord> enemyRecords_;
    int32_t rollingIntervalMinutes_ = 2;
    int32_t maxAttackRecords_ = 20;
    std::optional<DateTime> nextRollover_;

    int32_t lastConcealment_ = 0;
};

} // namespace tarvik
