#include "WindowFit.h"

#include <algorithm>

namespace tarvik {

Extent FitToContent(Extent content, Extent current, Extent minimum, Extent available, int scrollBar)
{
    Extent fit;
    fit.height = std::max({content.height, current.height, minimum.height});
    const bool scrolls = content.height > available.height;
    fit.width = std::max({content.width + (scrolls ? scrollBar : 0), current.width, minimum.width});
    fit.width = std::min(fit.width, available.width);
    fit.height = std::min(fit.height, available.height);
    return fit;
}

Box KeepInside(Box box, const Box& area)
{
    box.width = std::min(box.width, area.width);
    box.height = std::min(box.height, area.height);
    box.x = std::clamp(box.x, area.x, area.Right() - box.width);
    box.y = std::clamp(box.y, area.y, area.Bottom() - box.height);
    return box;
}

Box PlaceBeside(const Box& owner, Extent size, const Box& area)
{
    Box box{0, owner.y, size.width, size.height};
    if (owner.Right() + size.width <= area.Right())
        box.x = owner.Right();
    else if (owner.x - size.width >= area.x)
        box.x = owner.x - size.width;
    else
        box.x = area.Right() - size.width;
    return KeepInside(box, area);
}

double ProportionalScale(Extent current, Extent design, double minimum, double maximum)
{
    if (design.width <= 0 || design.height <= 0)
        return 1.0;
    const double scale = std::min(static_cast<double>(current.width) / design.width,
                                  static_cast<double>(current.height) / design.height);
    return std::clamp(scale, minimum, maximum);
}

} // namespace tarvik
