#include "LineSink.h"

namespace tarvik {

LineSink::LineSink(std::function<void(std::string_view)> onLine)
    : onLine_(std::move(onLine))
{
}

LineSink::int_type LineSink::overflow(int_type ch)
{
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize LineSink::xsputn(const char* text, std::streamsize count)
{
    std::string_view rest(text, static_cast<size_t>(count));
    for (size_t end; (end = rest.find('\n')) != std::string_view::npos;) {
        if (pending_.empty()) {
            onLine_(rest.substr(0, end));
        } else {
            pending_.append(rest.substr(0, end));
            onLine_(pending_);
            pending_.clear();
        }
        rest.remove_prefix(end + 1);
    }
    pending_.append(rest);
    return count;
}

} // namespace tarvik
