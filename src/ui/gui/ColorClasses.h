#pragma once

#include <optional>

#include <QColor>

class QWidget;

namespace tarvik {

struct UserOptions;

// The HUD and its dialogs are coloured by class: each control carries the
// class in its "colorClass" property, and one call colours every control of
// a window whose property contains the class.
inline constexpr const char* ColorClassProperty = "colorClass";
inline constexpr const char* WindowColorClass = "WINDOWCOLOR";
inline constexpr const char* ControlColorClass = "CONTROLCOLOR";

void SetColorClass(QWidget& control, const char* colorClass);

// An absent colour leaves that side as it is.
void SetFormColors(QWidget& window, std::optional<QColor> fore, std::optional<QColor> back);
void SetControlColors(QWidget& window, const char* colorClass, std::optional<QColor> fore,
                      std::optional<QColor> back);

// The window and both classes in the HUD's colours.
void ApplyHudColors(QWidget& window, const UserOptions& options);

} // namespace tarvik
