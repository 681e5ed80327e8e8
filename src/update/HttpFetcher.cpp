#include "HttpFetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tarvik {

namespace {

QString Seconds(std::chrono::milliseconds duration)
{
    return QString::number(std::chrono::duration<double>(duration).count(), 'g', 3);
}

QString TooLarge(qint64 maxBytes)
{
    return QStringLiteral("The answer is larger than %1 bytes.").arg(maxBytes);
}

} // namespace

void HttpFetcher::Cancel()
{
    if (cancelRunning_)
        cancelRunning_();
}

FetchResult HttpFetcher::Fetch(const QUrl& url, const FetchLimits& limits,
                               const StateHandler& onState, const DataSink& sink,
                               const ProgressHandler& onProgress)
{
    const QString host = url.host();
    const auto report = [&](TransferState state, const QString& detail = {}) {
        if (onState)
            onState(state, TransferStateLine(state, host) + detail);
    };
    FetchResult result;
    const auto fail = [&](const QString& reason) {
        result.data.clear();
        result.error = reason;
        report(TransferState::Error, reason);
        return result;
    };

    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || host.isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return fail(QStringLiteral("Not an http or https address: ") + url.toString());

    report(TransferState::Resolving);

    // A manager of its own per fetch: no connection or cookie outlives it.
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!userAgent_.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    QNetworkReply* reply = manager.get(request);
    // Qt stops reading from the socket while this much waits, so a large
    // answer passes through in pieces instead of piling up in memory.
    reply->setReadBufferSize(ReadBufferBytes);

    QEventLoop loop;
    QString abortReason;
    const auto abort = [&](const QString& reason) {
        if (abortReason.isEmpty())
            abortReason = reason;
        reply->abort();
    };
    cancelRunning_ = [&] {
        result.cancelled = true;
        abort(QStringLiteral("The transfer was cancelled."));
    };
    struct ForgetCancel {
        std::function<void()>& cancel;
        ~ForgetCancel() { cancel = nullptr; }
    } forgetCancel{cancelRunning_};

    const std::unique_ptr<Timer> idle = timers_.Make(TimerKind::SingleShot, [&] {
        abort(QStringLiteral("No answer from %1 within %2 seconds.")
                  .arg(host, Seconds(limits.idleTimeout)));
    });
    const std::unique_ptr<Timer> total = timers_.Make(TimerKind::SingleShot, [&] {
        abort(QStringLiteral("The transfer took longer than %1 seconds.")
                  .arg(Seconds(limits.totalTimeout)));
    });
    const auto stillTalking = [&] { idle->Start(limits.idleTimeout); };

    bool connecting = false;
    bool receiving = false;
    qint64 announced = -1;
    const auto startReceiving = [&] {
        stillTalking();
        if (!receiving) {
            receiving = true;
            report(TransferState::Receiving);
        }
    };
    const auto take = [&] {
        const QByteArray piece = reply->readAll();
        if (piece.isEmpty() || !abortReason.isEmpty())
            return;
        result.bytes += piece.size();
        if (result.bytes > limits.maxBytes)
            return abort(TooLarge(limits.maxBytes));
        if (!sink)
            result.data += piece;
        else if (!sink(piece))
            return abort(QStringLiteral("The answer could not be written to disk."));
        if (onProgress)
            onProgress(result.bytes, announced);
    };
    QObject::connect(reply, &QNetworkReply::socketStartedConnecting, [&] {
        stillTalking();
        report(TransferState::Resolved);
        report(TransferState::Connecting);
        connecting = true;
    });
    QObject::connect(reply, &QNetworkReply::requestSent, [&] {
        stillTalking();
        if (connecting)
            report(TransferState::Connected);
        connecting = false;
        report(TransferState::Requesting);
        report(TransferState::RequestSent);
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, [&] {
        startReceiving();
        // Refused before the body comes, when the server says how long it is.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool redirect = status >= 300 && status <= 399;
        if (length.isValid() && !redirect) {
            announced = length.toLongLong();
            if (announced > limits.maxBytes)
                abort(TooLarge(limits.maxBytes));
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, [&] {
        startReceiving();
        take();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    stillTalking();
    total->Start(limits.totalTimeout);
    if (!reply->isFinished())
        loop.exec();
    idle->Stop();
    total->Stop();
    if (reply->isOpen())
        take();

    if (!abortReason.isEmpty())
        return fail(abortReason);
    if (reply->error() != QNetworkReply::NoError)
        return fail(reply->errorString());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299)) {
        return fail(
            QStringLiteral("The server answered %1 %2.")
                .arg(status)
                .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    }
    report(TransferState::ResponseReceived);
    report(TransferState::Completed);
    return result;
}

} // namespace tarvik
