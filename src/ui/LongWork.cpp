#include "LongWork.h"

namespace tarvik {

bool LongWork::Start(Kind kind)
{
    if (Running(kind))
        return false;
    if (AnyRunning()) {
        waiting_ = kind;
        return false;
    }
    (kind == Kind::Analysis ? analysis_ : updateCheck_) = true;
    return true;
}

std::optional<LongWork::Kind> LongWork::Finish(Kind kind)
{
    (kind == Kind::Analysis ? analysis_ : updateCheck_) = false;
    std::optional<Kind> next;
    if (!AnyRunning())
        next.swap(waiting_);
    return next;
}

bool LongWork::Running(Kind kind) const
{
    return kind == Kind::Analysis ? analysis_ : updateCheck_;
}

bool LongWork::Enable()
{
    if (disabled_ > 0)
        --disabled_;
    return disabled_ == 0;
}

} // namespace tarvik
