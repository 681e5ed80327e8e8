// The main window's live meter.
#include "MainWindow.h"
#include "analysis/Session.h"
#include "fights/CurrentFightRule.h"
#include "meter/gui/MeterWindow.h"
#include "util/Clock.h"
#include "util/gui/SystemTray.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace tarvik {

MeterWindow* MainWindow::Meter() const
{
    return meter_.data();
}

void MainWindow::ToggleMeter()
{
    if (meter_) {
        meter_->close();
        return;
    }
    MeterContext context{store_,
                         options_,
                         clock_,
                         timers_,
                         [this] { return CurrentFightOf(session_->Fights(), clock_.Now()); },
                         [this] { return session_->FightRoster(); },
                         [] { return QCursor::pos(); }};
    meter_ = new MeterWindow(context);
    connect(meter_, &MeterWindow::Closed, this, [this] {
        if (meter_)
            meter_->deleteLater();
    });
    meter_->show();
}

void MainWindow::MeterDataChanged()
{
    if (meter_)
        meter_->DataChanged();
}

void MainWindow::AddMeterToTrayMenu()
{
    QMenu* menu = tray_->PopUpMenu();
    if (!menu)
        return;
    QAction* exit = findChild<QAction*>("mnuSystrayMainExit");
    auto* meter = new QAction("Meter", menu);
    meter->setObjectName("mnuSystrayMainMeter");
    connect(meter, &QAction::triggered, this, &MainWindow::ToggleMeter);
    // Locked, the meter lets every click through; this is one way back.
    auto* unlock = new QAction("Unlock Meter", menu);
    unlock->setObjectName("mnuSystrayMainUnlockMeter");
    connect(unlock, &QAction::triggered, this, [this] {
        if (meter_)
            meter_->SetLocked(false);
    });
    connect(menu, &QMenu::aboutToShow, this,
            [this, unlock] { unlock->setEnabled(meter_ && meter_->Locked()); });
    menu->insertAction(exit, meter);
    menu->insertAction(exit, unlock);
    menu->insertSeparator(exit);
}

} // namespace tarvik
