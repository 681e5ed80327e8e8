#include "CurrentFight.h"

#include <nlohmann/json.hpp>

namespace tarvik {

bool CurrentFight::Offer(std::string_view line)
{
    using Json = nlohmann::json;
    // Only the top level matters; the summary line can be megabytes of
    // nested data that need not be kept.
    const Json top = Json::parse(
        line.begin(), line.end(),
        [](int depth, Json::parse_event_t event, Json&) {
            return depth == 0 || (event != Json::parse_event_t::object_start &&
                                  event != Json::parse_event_t::array_start);
        },
        false);
    if (!top.is_object())
        return false;
    const auto type = top.find("type");
    if (type == top.end() || !type->is_string())
        return false;
    const char* numberKey = *type == "update" ? "fight" : *type == "fight" ? "number" : nullptr;
    if (!numberKey)
        return false;
    const auto number = top.find(numberKey);
    if (number == top.end() || !number->is_number_integer() || number->get<int64_t>() < number_)
        return false;
    number_ = number->get<int64_t>();
    line_ = std::string(line);
    return true;
}

} // namespace tarvik
