#pragma once

#include <string>
#include <sys/types.h>

namespace tarvik::test {

// A private X server for one test suite, on a display Xvfb picks itself.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    static bool IsInstalled();
    // Starts the server and waits until it accepts connections. On failure
    // Error() says why.
    bool Start();
    void Stop();

    // ":N" while running.
    const std::string& Display() const { return display_; }
    const std::string& Error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
};

} // namespace tarvik::test
