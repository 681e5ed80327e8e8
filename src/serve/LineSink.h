#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace tarvik {

// A stream buffer that hands out every completed line, without its line
// end: lets code that prints lines feed something else.
class LineSink : public std::streambuf {
public:
    explicit LineSink(std::function<void(std::string_view)> onLine);

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    std::function<void(std::string_view)> onLine_;
    std::string pending_;
};

} // namespace tarvik
