#include "TransferState.h"

namespace tarvik {

QString TransferStateLine(TransferState state, const QString& host)
{
    switch (state) {
    case TransferState::Resolving:
        return QStringLiteral("Resolving IP for host ") + host + QStringLiteral("...");
    case TransferState::Resolved:
        return QStringLiteral("  IP resolution completed.");
    case TransferState::Connecting:
        return QStringLiteral("Connecting to host ") + host + QStringLiteral("...");
    case TransferState::Connected:
        return QStringLiteral("  Connection to host completed.");
    case TransferState::Requesting:
        return QStringLiteral("Requesting data...");
    case TransferState::RequestSent:
        return QStringLiteral("  Request sent successfully.");
    case TransferState::Receiving:
        return QStringLiteral("Receiving response from remote host...");
    case TransferState::ResponseReceived:
        return QStringLiteral("  Response received successfully.");
    case TransferState::Disconnecting:
        return QStringLiteral("Disconnecting from remote host...");
    case TransferState::Disconnected:
        return QStringLiteral("  Successfully disconnected.");
    case TransferState::Error:
        return QStringLiteral("WARNING:  An error occurred while communicating with the remote "
                              "host.\t");
    case TransferState::Completed:
        return QStringLiteral("  Request and response completed successfully.");
    }
    return {};
}

} // namespace tarvik
