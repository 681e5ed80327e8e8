#include "SystemTray.h"

#include "QtTrayIconBackend.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace tarvik {

SystemTray::SystemTray(QWidget* window)
    : SystemTray(window, std::make_unique<QtTrayIconBackend>())
{
}

SystemTray::SystemTray(QWidget* window, std::unique_ptr<TrayIconBackend> backend)
    : QObject(window)
    , window_(window)
    , backend_(std::move(backend))
{
    currentState_ = window ? window->windowState() : Qt::WindowNoState;
    previousState_ = currentState_;
    stateBeforeMinimise_ = currentState_;

    auto* menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("mnuSystrayMain"));
    QAction* restore = menu->addAction(QStringLiteral("Restore"), this, &SystemTray::Restore);
    restore->setObjectName(QStringLiteral("mnuSystrayMainRestore"));
    QAction* exit = menu->addAction(QStringLiteral("E&xit"), this, [this] {
        if (window_)
            window_->close();
    });
    exit->setObjectName(QStringLiteral("mnuSystrayMainExit"));
    SetPopUpMenu(menu);

    backend_->SetActivationHandler(
        [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    if (window)
        window->installEventFilter(this);
}

SystemTray::~SystemTray()
{
    Unload();
}

void SystemTray::SetToolTip(const QString& text)
{
    toolTip_ = text;
    if (iconShown_)
        backend_->SetToolTip(toolTip_);
}

void SystemTray::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    if (iconShown_)
        backend_->SetIcon(EffectiveIcon());
}

QMenu* SystemTray::PopUpMenu() const
{
    return menu_;
}

void SystemTray::SetPopUpMenu(QMenu* menu)
{
    menu_ = menu;
    backend_->SetContextMenu(menu);
}

void SystemTray::SetStealthApp(bool on)
{
    stealth_ = on;
    if (!iconized_) {
        WindowStateChanged();
    } else if (on) {
        HideIcon();
    } else {
        ShowIcon();
    }
}

void SystemTray::WindowStateChanged()
{
    if (inStateChange_ || !window_)
        return;
    inStateChange_ = true;

    const Qt::WindowStates state = window_->windowState();
    if (state != currentState_) {
        previousState_ = currentState_;
        currentState_ = state;
    }
    if (iconizeApp_) {
        if (iconized_) {
            // Brought back by other means than the icon (the owner or the
            // window manager): the icon has served its purpose.
            if (!(state & Qt::WindowMinimized) && window_->isVisible()) {
                HideIcon();
                iconized_ = false;
            }
        } else if (state & Qt::WindowMinimized) {
            Iconize();
        }
    }
    inStateChange_ = false;
}

bool SystemTray::eventFilter(QObject* watched, QEvent* event)
{
    // The owner may show the window itself; showNormal() on a hidden window
    // brings no state change. The platform's own show events while the window
    // is minimised or hidden are spontaneous and do not count.
    if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous() && hidden_) {
        hidden_ = false;
        HideIcon();
        iconized_ = false;
    }
    return QObject::eventFilter(watched, event);
}

void SystemTray::Iconize()
{
    // Hiding the window with no icon to click would strand it.
    if (!stealth_ && !backend_->IsAvailable())
        return;

    stateBeforeMinimise_ = (previousState_ & Qt::WindowMinimized ? currentState_ : previousState_) &
                           ~Qt::WindowMinimized;
    iconized_ = true;
    toolTip_ = window_->windowTitle();
    if (!stealth_)
        ShowIcon();

    // Hiding the window inside its own state change confuses some window
    // managers; it goes as soon as the event is handled.
    QTimer::singleShot(0, this, [this] {
        if (iconized_ && window_) {
            window_->hide();
            hidden_ = true;
        }
    });
}

void SystemTray::Restore()
{
    if (!iconized_ || !window_)
        return;
    HideIcon();
    iconized_ = false;
    hidden_ = false;
    window_->setWindowState(stateBeforeMinimise_ & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void SystemTray::Unload()
{
    if (!iconShown_)
        return;
    HideIcon();
    iconized_ = false;
}

bool SystemTray::ShowBalloonTip(const QString& text, const QString& title,
                                QSystemTrayIcon::MessageIcon icon, int milliseconds)
{
    if (!iconShown_)
        return false;
    backend_->ShowMessage(title, text, icon, milliseconds);
    return true;
}

void SystemTray::ShowIcon()
{
    if (iconShown_)
        return;
    // The notification area may have gone since the window was minimised.
    if (!backend_->IsAvailable()) {
        Restore();
        return;
    }
    backend_->SetIcon(EffectiveIcon());
    backend_->SetToolTip(toolTip_);
    backend_->SetVisible(true);
    iconShown_ = true;
}

void SystemTray::HideIcon()
{
    if (!iconShown_)
        return;
    backend_->SetVisible(false);
    iconShown_ = false;
}

QIcon SystemTray::EffectiveIcon() const
{
    if (!icon_.isNull())
        return icon_;
    if (window_ && !window_->windowIcon().isNull())
        return window_->windowIcon();
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    // An empty icon would leave an invisible spot in the notification area.
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

void SystemTray::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Desktops that speak the StatusNotifierItem protocol report any left
    // click as Trigger and never a double click, so both restore.
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        Restore();
}

} // namespace tarvik
