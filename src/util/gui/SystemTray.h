#pragma once

#include "TrayIconBackend.h"

#include <memory>

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;
class QWidget;

namespace tarvik {

// Minimise to the notification area for one top-level window: minimising
// hides the window (and with it its task-bar entry) and shows an icon whose
// tooltip is the window's caption; activating the icon brings the window back
// in the state it had before it was minimised.
//
// Wiring in the window that owns it:
//   - create it first at start-up: tray_ = new SystemTray(this);
//   - forward state changes:
//         void MainWindow::changeEvent(QEvent* event)
//         {
//             QMainWindow::changeEvent(event);
//             if (event->type() == QEvent::WindowStateChange)
//                 tray_->WindowStateChanged();
//         }
//   - call Unload() first at shutdown, so that no stale icon stays behind;
//   - announcements go through ShowBalloonTip(text, title).
// The icon's menu, PopUpMenu() ("mnuSystrayMain"), has "Restore" and "E&xit".
// "E&xit" closes the window while it may be hidden; Qt does not quit when a
// hidden window closes, so the window's close handling must end the program
// itself (QCoreApplication::quit()).
//
// Where the desktop has no notification area the window minimises normally,
// since a hidden window could not be brought back. StealthApp is the
// exception: it hides the window without any icon, on purpose, and the owner
// must bring it back with Restore().
class SystemTray : public QObject {
    Q_OBJECT

public:
    // Uses the desktop's notification area.
    explicit SystemTray(QWidget* window);
    SystemTray(QWidget* window, std::unique_ptr<TrayIconBackend> backend);
    ~SystemTray() override;

    // The icon is shown or, in stealth mode, the window is hidden by this class.
    bool IsIconized() const { return iconized_; }
    // The icon is visible in the notification area.
    bool IsIconShown() const { return iconShown_; }

    // Set to the window's caption at every minimise; changes show at once.
    QString ToolTip() const { return toolTip_; }
    void SetToolTip(const QString& text);
    // An empty icon means the window's own icon.
    QIcon Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);

    // Shown on a right click on the icon.
    QMenu* PopUpMenu() const;
    void SetPopUpMenu(QMenu* menu);

    // Off: minimising is left to the desktop. On by default.
    bool IconizeApp() const { return iconizeApp_; }
    void SetIconizeApp(bool on) { iconizeApp_ = on; }
    // On: minimising hides the window without showing an icon.
    bool StealthApp() const { return stealth_; }
    void SetStealthApp(bool on);

    // To be called from the window's changeEvent on QEvent::WindowStateChange.
    void WindowStateChanged();
    // Brings the window back from the notification area.
    void Restore();
    // Removes the icon if it is shown.
    void Unload();
    // Shows a message over the icon; only while the icon is shown. True when
    // it was handed to the desktop.
    bool ShowBalloonTip(const QString& text, const QString& title,
                        QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::Information,
                        int milliseconds = 10000);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Iconize();
    void ShowIcon();
    void HideIcon();
    QIcon EffectiveIcon() const;
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    QPointer<QWidget> window_;
    std::unique_ptr<TrayIconBackend> backend_;
    QPointer<QMenu> menu_;
    QString toolTip_;
    QIcon icon_;
    bool iconizeApp_ = true;
    bool stealth_ = false;
    bool iconized_ = false;
    bool iconShown_ = false;
    // The window was hidden by this class and not shown since.
    bool hidden_ = false;
    bool inStateChange_ = false;
    Qt::WindowStates currentState_;
    Qt::WindowStates previousState_;
    Qt::WindowStates stateBeforeMinimise_;
};

} // namespace tarvik
