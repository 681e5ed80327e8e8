#include "ColorClasses.h"

#include "config/UserOptions.h"
#include "util/gui/WindowPlacement.h"

#include <QAbstractButton>
#include <QPalette>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace tarvik {

namespace {

// Text in every kind of control: labels, buttons, cells.
void SetFore(QPalette& palette, const QColor& color)
{
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
}

void SetBack(QPalette& palette, const QColor& color)
{
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::AlternateBase, color);
    palette.setColor(QPalette::Button, color);
}

} // namespace

void SetColorClass(QWidget& control, const char* colorClass)
{
    control.setProperty(ColorClassProperty, QString::fromLatin1(colorClass));
}

void SetFormColors(QWidget& window, std::optional<QColor> fore, std::optional<QColor> back)
{
    QPalette palette = window.palette();
    if (fore)
        SetFore(palette, *fore);
    if (back)
        SetBack(palette, *back);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void SetControlColors(QWidget& window, const char* colorClass, std::optional<QColor> fore,
                      std::optional<QColor> back)
{
    const QString wanted = QString::fromLatin1(colorClass);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->property(ColorClassProperty).toString().contains(wanted))
            continue;
        QPalette palette = control->palette();
        if (back)
            SetBack(palette, *back);
        if (fore) {
            SetFore(palette, *fore);
            // Sliders fill their groove with the highlight colour.
            palette.setColor(QPalette::Highlight, *fore);
        }
        control->setPalette(palette);
        // A button paints its own face; filling behind it would square its corners.
        if (!qobject_cast<QAbstractButton*>(control))
            control->setAutoFillBackground(true);
    }
}

void ApplyHudColors(QWidget& window, const UserOptions& options)
{
    const QColor windowFore = FromColorValue(options.windowForegroundColor);
    const QColor windowBack = FromColorValue(options.windowBackgroundColor);
    SetFormColors(window, windowFore, windowBack);
    SetControlColors(window, WindowColorClass, windowFore, windowBack);
    SetControlColors(window, ControlColorClass, FromColorValue(options.controlForegroundColor),
                     FromColorValue(options.controlBackgroundColor));
}

} // namespace tarvik
