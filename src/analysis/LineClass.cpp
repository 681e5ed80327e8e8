#include "LineClass.h"

namespace tarvik {

std::string_view LineClassName(LineClass lineClass)
{
    switch (lineClass) {
    case LineClass::Blank:
        return "blank";
    case LineClass::SessionHeader:
        return "session header";
    case LineClass::Engine:
        return "engine";
    case LineClass::ChatDuplicate:
        return "chat duplicate";
    case LineClass::Continuation:
        return "continuation";
    case LineClass::Problem:
        break;
    }
    return "problem";
}

} // namespace tarvik
