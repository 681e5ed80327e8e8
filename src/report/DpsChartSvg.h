#pragma once

#include "fights/FightViews.h"

#include <string>

namespace tarvik {

// A fight's damage-per-second chart as an inline SVG element: each line's
// moving average drawn solid over its per-bucket values drawn faint (cut at
// the top of the scale, which the averages set), with axes in seconds and
// damage per second and a legend. Labels are UTF-8
// (decoded) and escaped here.
std::string DpsChartSvg(const DpsChart& chart, int width = 760, int height = 260);

// A round step for about `ticks` divisions of 0..maximum (1, 2 or 5 times a
// power of ten).
double NiceStep(double maximum, int ticks);

} // namespace tarvik
