#pragma once

namespace tarvik {

// Window geometry in pixels, decided without Qt so that the rules can be
// tested on their own.
struct Extent {
    int width = 0;
    int height = 0;
};

struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

// The size a window takes to show content of the given size whole: never
// smaller than it is now (a size the user chose stays, as does minimum),
// never larger than the room available. When the height does not fit, a
// vertical scroll bar of scrollBar pixels is added to the width.
Extent FitToContent(Extent content, Extent current, Extent minimum, Extent available,
                    int scrollBar);

// Where a window of the given size opens when it has no stored place: beside
// the owner (right of it when there is room, else left of it), level with
// its top; when neither side has room, at the right edge of the area, which
// leaves the owner's left side visible. Always inside the area.
Box PlaceBeside(const Box& owner, Extent size, const Box& area);

// The box moved (not resized, unless it is larger) so that it lies inside
// the area.
Box KeepInside(Box box, const Box& area);

// How much a window's contents are scaled when the window is resized:
// the smaller of the width and height ratios to the size the contents were
// laid out for, held between minimum and maximum.
double ProportionalScale(Extent current, Extent design, double minimum, double maximum);

} // namespace tarvik
