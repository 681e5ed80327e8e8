// The main window's fights and targets tabs.
#include "MainWindow.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TargetsTab.h"

#include <QTabWidget>

namespace tarvik {

void MainWindow::FightDataChanged()
{
    fightsStale_ = true;
    targetsStale_ = true;
    RefreshFightViews();
}

void MainWindow::RefreshFightViews()
{
    // Only the tab in view is filled; the other waits until it is shown.
    QWidget* shown = tabs_->currentWidget();
    if (shown == fightsTab_ && fightsStale_) {
        fightsStale_ = false;
        fightsTab_->Refresh();
    } else if (shown == targetsTab_ && targetsStale_) {
        targetsStale_ = false;
        targetsTab_->Refresh();
    }
}

void MainWindow::FightsTick(bool newData)
{
    if (newData)
        targetsStale_ = true;
    if (tabs_->currentWidget() == fightsTab_ && !fightsStale_)
        fightsTab_->Update(); // the running fight also ends without new lines
    else if (newData)
        fightsStale_ = true;
    RefreshFightViews();
    // Also without new data: the running fight ends by the clock.
    MeterDataChanged();
}

} // namespace tarvik
