#include "DetailsWindow.h"

#include "DetailGridWidget.h"
#include "app/UserOptions.h"
#include "diag/DebugLog.h"
#include "util/gui/QtText.h"
#include "util/gui/WindowPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QVBoxLayout>

namespace tarvik {

DetailsWindow::DetailsWindow(SettingsStore& store, DebugLog& debug, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , store_(store)
    , debug_(debug)
    , onTop_(new QCheckBox("Always On Top", this))
    , grid_(new DetailGridWidget(this))
{
    setObjectName("frmDetails");
    setWindowTitle("Details");
    setAttribute(Qt::WA_ShowWithoutActivating);
    onTop_->setObjectName("chkOnTop");
    grid_->setObjectName("msflexgridDetails");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(onTop_);
    layout->addWidget(grid_, 1);
    resize(460, 420);

    debug_.LogDebug("Loading frmDetails.", 3);
    LoadWindowPosition(*this, store_, "frmDetails", true);
    onTop_->setChecked(ReadDetailWindowOnTop(store_));
    SetOnTop(onTop_->isChecked());
    connect(onTop_, &QCheckBox::toggled, this, &DetailsWindow::SetOnTop);
}

DetailsWindow::~DetailsWindow()
{
    Unload();
}

void DetailsWindow::SetOnTop(bool on)
{
    SetAlwaysOnTop(*this, on);
}

bool DetailsWindow::AlwaysOnTop() const
{
    return onTop_->isChecked();
}

void DetailsWindow::ClearDetailScreen()
{
    debug_.LogDebug("Clearing the detail screen.", 3);
    grid_->Clear();
}

void DetailsWindow::ShowGrid(const DetailGrid& grid)
{
    debug_.LogDebug("Setting the detail screen info.", 3);
    setWindowTitle(ToQString(grid.caption));
    grid_->ShowGrid(grid);
    if (!isVisible())
        show();
}

void DetailsWindow::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    debug_.LogDebug("Unloading frmDetails.", 3);
    SaveWindowPosition(*this, store_, "frmDetails", true);
    WriteDetailWindowOnTop(store_, onTop_->isChecked());
}

void DetailsWindow::closeEvent(QCloseEvent* event)
{
    Unload();
    QWidget::closeEvent(event);
}

} // namespace tarvik
