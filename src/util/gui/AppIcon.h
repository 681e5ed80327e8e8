#pragma once

#include <QIcon>

namespace tarvik {

// The program's icon, drawn rather than shipped as an image: a shield with
// crossed strokes, readable from 16 to 256 pixels.
QIcon AppIcon();

} // namespace tarvik
