#pragma once

class QWidget;

namespace tarvik {

// Qt gives every X11 window a colormap of its own. Compositors that paint
// with XRender (xcompmgr, picom's xrender backend) then draw such a window
// opaque, whatever its opacity says. A window on the screen's own visual can
// share the screen's colormap instead, which looks the same and lets its
// opacity show. True when the window shares it afterwards; false off X11,
// for a window on another visual (a translucent background's ARGB one) or
// before the window has a native handle.
bool ShareScreenColormap(QWidget& window);

} // namespace tarvik
