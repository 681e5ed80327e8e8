#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/types.h>

namespace tarvik::test {

// A private X server on a display it picks itself; Display() stays empty when
// it does not start.
class PrivateXvfb {
public:
    static bool IsInstalled() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

    // The shell reports its process id, which exec hands on to Xvfb; Xvfb
    // reports its display once it takes clients.
    PrivateXvfb()
        : output_(
              ::popen("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -noreset 2>/dev/null", "r"))
    {
        int display = -1;
        if (output_ && std::fscanf(output_, "%d %d", &pid_, &display) == 2)
            display_ = ":" + std::to_string(display);
    }
    ~PrivateXvfb()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGTERM);
        if (output_)
            ::pclose(output_);
    }
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    const std::string& Display() const { return display_; }

private:
    FILE* output_;
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace tarvik::test
