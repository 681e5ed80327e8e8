#include "DownloadProgress.h"

#include <cstdio>

namespace tarvik {

namespace {

std::string Megabytes(int64_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

} // namespace

std::string DownloadProgress::Text(int64_t received, int64_t total) const
{
    std::string text = "Downloading the " + product_ + " update: " + Megabytes(received);
    if (total > 0) {
        const int64_t percent = received >= total ? 100 : received * 100 / total;
        text += " of " + Megabytes(total) + " MB (" + std::to_string(percent) + "%)";
    } else {
        text += " MB";
    }
    return text;
}

std::string DownloadProgress::Update(int64_t received, int64_t total)
{
    std::string text = Text(received, total);
    if (text == shown_)
        return {};
    shown_ = text;
    return text;
}

} // namespace tarvik
