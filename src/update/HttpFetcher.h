#pragma once

#include "TransferState.h"

#include <chrono>
#include <functional>

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace tarvik {

struct FetchLimits {
    // A server that sends nothing for this long fails the fetch.
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(30)};
    // Ends a transfer that trickles on without ever finishing.
    std::chrono::milliseconds totalTimeout{std::chrono::minutes(15)};
    // More than any setup program; protects memory from a runaway answer.
    qint64 maxBytes = qint64(512) * 1024 * 1024;
};

struct FetchResult {
    QByteArray data;
    // Empty when the whole answer arrived with a success status.
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// Fetches one http or https address into memory and returns only when the
// transfer is over. Meanwhile a local event loop runs, so the user interface
// keeps painting and timers keep firing; the caller disables what must not
// run at the same time.
class HttpFetcher {
public:
    // line is the transfer-log line of state; an error line carries the
    // reason after its tab.
    using StateHandler = std::function<void(TransferState state, const QString& line)>;

    explicit HttpFetcher(FetchLimits limits = {}, QByteArray userAgent = {})
        : limits_(limits)
        , userAgent_(std::move(userAgent))
    {
    }

    const FetchLimits& Limits() const { return limits_; }
    void SetLimits(const FetchLimits& limits) { limits_ = limits; }

    // Redirects are followed unless they lead from https to http. An answer
    // with an error status is a failure, not data.
    FetchResult Fetch(const QUrl& url, const StateHandler& onState) const;

private:
    FetchLimits limits_;
    QByteArray userAgent_;
};

} // namespace tarvik
