#include "QtTrayIconBackend.h"

namespace tarvik {

QtTrayIconBackend::QtTrayIconBackend()
{
    QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
}

bool QtTrayIconBackend::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIconBackend::SetVisible(bool visible)
{
    icon_.setVisible(visible);
}

void QtTrayIconBackend::SetIcon(const QIcon& icon)
{
    icon_.setIcon(icon);
}

void QtTrayIconBackend::SetToolTip(const QString& text)
{
    icon_.setToolTip(text);
}

void QtTrayIconBackend::SetContextMenu(QMenu* menu)
{
    icon_.setContextMenu(menu);
}

void QtTrayIconBackend::ShowMessage(const QString& title, const QString& text,
                                    QSystemTrayIcon::MessageIcon icon, int milliseconds)
{
    icon_.showMessage(title, text, icon, milliseconds);
}

} // namespace tarvik
