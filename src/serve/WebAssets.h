#pragma once

#include <string_view>

namespace tarvik {

// One file of the page, built into the program from src/serve/web/.
struct WebAsset {
    std::string_view name; // "index.html"
    std::string_view body;
};

// Null for a name the program holds no file of.
const WebAsset* FindWebAsset(std::string_view name);

} // namespace tarvik
