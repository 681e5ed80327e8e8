#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// The status-bar text of a running download. Update gives a text only when
// it differs from the one shown, so that the status bar is not repainted for
// every piece that arrives.
class DownloadProgress {
public:
    explicit DownloadProgress(std::string productName)
        : product_(std::move(productName))
    {
    }

    // received and total in bytes; total is -1 when the server did not say.
    // Empty when the shown text stays.
    std::string Update(int64_t received, int64_t total);

    // "Downloading the Tarvik update: 1.5 of 12.0 MB (12%)".
    std::string Text(int64_t received, int64_t total) const;

private:
    std::string product_;
    std::string shown_;
};

} // namespace tarvik
