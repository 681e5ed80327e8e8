#pragma once

#include <functional>
#include <utility>

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

namespace tarvik {

// The notification-area icon as SystemTray uses it. The program uses
// QtTrayIconBackend; tests put in a fake, since most test machines have no
// notification area.
class TrayIconBackend {
public:
    using ActivationHandler = std::function<void(QSystemTrayIcon::ActivationReason)>;

    virtual ~TrayIconBackend() = default;

    // Whether the desktop has a notification area right now.
    virtual bool IsAvailable() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void SetToolTip(const QString& text) = 0;
    // Shown by the desktop on a right click.
    virtual void SetContextMenu(QMenu* menu) = 0;
    virtual void ShowMessage(const QString& title, const QString& text,
                             QSystemTrayIcon::MessageIcon icon, int milliseconds) = 0;

    // Receives every click the desktop reports on the icon.
    void SetActivationHandler(ActivationHandler handler) { handler_ = std::move(handler); }

protected:
    void Activated(QSystemTrayIcon::ActivationReason reason)
    {
        if (handler_)
            handler_(reason);
    }

private:
    ActivationHandler handler_;
};

} // namespace tarvik
