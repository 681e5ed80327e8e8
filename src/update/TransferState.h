#pragma once

#include <QString>

namespace tarvik {

// The steps of one HTTP transfer, numbered as the transfer log has always
// numbered them. Qt does not report every step: the disconnect steps never
// occur, and the resolve and connect steps only on a fresh connection.
enum class TransferState {
    Resolving = 1,
    Resolved = 2,
    Connecting = 3,
    Connected = 4,
    Requesting = 5,
    RequestSent = 6,
    Receiving = 7,
    ResponseReceived = 8,
    Disconnecting = 9,
    Disconnected = 10,
    Error = 11,
    Completed = 12,
};

// The transfer-log line of a state; host is the remote host's name.
QString TransferStateLine(TransferState state, const QString& host);

} // namespace tarvik
