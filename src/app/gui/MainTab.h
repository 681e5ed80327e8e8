#pragma once

namespace tarvik {

// The main window's tabs, numbered as the program numbers them.
enum class MainTab { None = 0, Info = 1, Status = 2, Errors = 3, Debug = 4 };

} // namespace tarvik
