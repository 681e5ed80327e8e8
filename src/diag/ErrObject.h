#pragma once

#include "util/Error.h"

#include <cstdint>
#include <string>

namespace tarvik {

// Remembers the most recent failure of a file utility or of the debug log's
// flush, for diagnosis; nothing shows it to the user.
class ErrObject {
public:
    int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }
    const std::string& ExtendedInfo() const { return extendedInfo_; }
    void SetNumber(int32_t number) { number_ = number; }
    void SetDescription(std::string text) { description_ = std::move(text); }
    void SetExtendedInfo(std::string text) { extendedInfo_ = std::move(text); }

    void SetError(int32_t number, std::string description, std::string extendedInfo)
    {
        number_ = number;
        description_ = std::move(description);
        extendedInfo_ = std::move(extendedInfo);
    }
    void SetError(const Error& error)
    {
        SetError(error.number, error.description, error.extendedInfo);
    }
    void Clear() { SetError(0, {}, {}); }

private:
    int32_t number_ = 0;
    std::string description_;
    std::string extendedInfo_;
};

} // namespace tarvik
