#pragma once

#include "TransferState.h"
#include "util/gui/QtTimers.h"

#include <chrono>
#include <functional>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

namespace tarvik {

struct FetchLimits {
    // A server that sends nothing for this long fails the fetch.
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(30)};
    // Ends a transfer that trickles on without ever finishing.
    std::chrono::milliseconds totalTimeout{std::chrono::minutes(15)};
    // A larger answer is refused: at once when the server announces its
    // length, otherwise as soon as this many bytes have come.
    qint64 maxBytes = qint64(512) * 1024 * 1024;
};

struct FetchResult {
    // The answer, unless it went to a sink.
    QByteArray data;
    qint64 bytes = 0;
    // Empty when the whole answer arrived with a success status.
    QString error;
    bool cancelled = false;
    bool Ok() const { return error.isEmpty(); }
};

// Fetches one http or https address and returns only when the transfer is
// over. Meanwhile a local event loop runs, so the user interface keeps
// painting and timers keep firing; the caller disables what must not run at
// the same time.
class HttpFetcher {
public:
    // line is the transfer-log line of state; an error line carries the
    // reason after its tab.
    using StateHandler = std::function<void(TransferState state, const QString& line)>;
    // Takes the next piece of the answer; false when it could not be kept
    // (the fetch then fails).
    using DataSink = std::function<bool(QByteArrayView piece)>;
    // Bytes received so far and the announced total (-1 when unknown).
    using ProgressHandler = std::function<void(qint64 received, qint64 total)>;

    // How much of the answer Qt holds at a time before it reaches the sink.
    static constexpr qint64 ReadBufferBytes = 1024 * 1024;

    // Without timers of its own the fetch runs on Qt's.
    explicit HttpFetcher(QByteArray userAgent = {}, TimerFactory* timers = nullptr)
        : userAgent_(std::move(userAgent))
        , timers_(timers ? *timers : qtTimers_)
    {
    }
    HttpFetcher(const HttpFetcher&) = delete;
    HttpFetcher& operator=(const HttpFetcher&) = delete;

    // Redirects are followed unless they lead from https to http. An answer
    // with an error status is a failure, not data. Without a sink the answer
    // is collected in the result.
    FetchResult Fetch(const QUrl& url, const FetchLimits& limits, const StateHandler& onState,
                      const DataSink& sink = {}, const ProgressHandler& onProgress = {});

    // Ends the running fetch, if any, as cancelled; callable from any event
    // handler that runs while Fetch waits.
    void Cancel();

private:
    QByteArray userAgent_;
    QtTimerFactory qtTimers_;
    TimerFactory& timers_;
    std::function<void()> cancelRunning_;
};

} // namespace tarvik
