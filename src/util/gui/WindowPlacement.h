#pragma once

#include "util/ColorValue.h"

#include <QColor>
#include <QString>

class QWidget;

namespace tarvik {

class SettingsStore;

// Windows keep their place between runs, stored in twips (1440 per inch of
// the screen's logical resolution).
void LoadWindowPosition(QWidget& window, SettingsStore& store, const QString& name, bool resizable);
// Only a window in its normal state is stored, so a maximised window keeps
// its last normal place.
void SaveWindowPosition(const QWidget& window, SettingsStore& store, const QString& name,
                        bool resizable);
// Centres a window in the work area of its screen.
void CenterWindow(QWidget& window);
// A window whose place shows too little of it on every screen (a screen
// removed since it was stored) is centred on the primary screen.
void KeepOnScreen(QWidget& window);

// Stays above other windows, without moving, resizing or activating.
void SetAlwaysOnTop(QWidget& window, bool on);

// Colours as the settings store keeps them (0x00BBGGRR).
ColorValue ToColorValue(const QColor& color);
QColor FromColorValue(ColorValue value);

} // namespace tarvik
