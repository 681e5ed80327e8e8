#include "WindowPlacement.h"

#include "util/SettingsStore.h"
#include "util/WindowPosition.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarvik {

namespace {

double TwipsPerPixel(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

} // namespace

void CenterWindow(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + (area.width() - size.width()) / 2,
                area.y() + (area.height() - size.height()) / 2);
}

void KeepOnScreen(QWidget& window)
{
    // Enough of the window to take hold of it and drag it.
    const QRect frame = window.frameGeometry();
    const int needWidth = std::min(frame.width(), 40);
    const int needHeight = std::min(frame.height(), 20);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(frame);
        if (seen.width() >= needWidth && seen.height() >= needHeight)
            return;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    const QRect area = primary->availableGeometry();
    window.move(area.x() + std::max(0, (area.width() - frame.width()) / 2),
                area.y() + std::max(0, (area.height() - frame.height()) / 2));
}

void LoadWindowPosition(QWidget& window, SettingsStore& store, const QString& name, bool resizable)
{
    const double twips = TwipsPerPixel(window);
    const WindowPosition stored = ReadWindowPosition(store, name.toStdString(), resizable);
    if (stored.size) {
        window.resize(static_cast<int>(stored.size->first / twips),
                      static_cast<int>(stored.size->second / twips));
    }
    if (stored.topLeft) {
        window.move(static_cast<int>(stored.topLeft->first / twips),
                    static_cast<int>(stored.topLeft->second / twips));
    } else {
        CenterWindow(window);
    }
}

void SaveWindowPosition(const QWidget& window, SettingsStore& store, const QString& name,
                        bool resizable)
{
    if (window.isMinimized() || window.isMaximized() || window.isFullScreen())
        return;
    const double twips = TwipsPerPixel(window);
    const QPoint place = window.pos();
    std::optional<std::pair<double, double>> size;
    if (resizable)
        size = std::make_pair(window.width() * twips, window.height() * twips);
    WriteWindowPosition(store, name.toStdString(), place.x() * twips, place.y() * twips, size);
}

void SetAlwaysOnTop(QWidget& window, bool on)
{
    const bool isOn = window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (isOn == on) {
        if (on && window.isVisible())
            window.raise();
        return;
    }
    const bool visible = window.isVisible();
    const QRect geometry = window.geometry();
    const bool noActivate = window.testAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing the flags hides the window; put it back where it was.
    window.setGeometry(geometry);
    if (visible)
        window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
}

ColorValue ToColorValue(const QColor& color)
{
    return static_cast<ColorValue>((color.blue() << 16) | (color.green() << 8) | color.red());
}

QColor FromColorValue(ColorValue value)
{
    const auto bits = static_cast<uint32_t>(value);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

} // namespace tarvik
