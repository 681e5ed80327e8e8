#include "DetailsWindow.h"

#include "DetailGridWidget.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "ui/WindowFit.h"
#include "util/WindowPosition.h"
#include "util/gui/QtText.h"
#include "util/gui/WindowPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
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

    debug_.LogDebug("Loading frmDetails.", 3);
    const WindowPosition stored = ReadWindowPosition(store_, "frmDetails", true);
    sized_ = stored.size.has_value();
    placeBesideOwner_ = !stored.topLeft;
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
    FitToGrid();
    if (!isVisible())
        show();
    sized_ = true;
}

void DetailsWindow::FitToGrid()
{
    const QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (!screen && parentWidget())
        screen = parentWidget()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame of a window that was never shown is not known yet; a title
    // bar and borders of this size are usual.
    QMargins frame(4, 28, 4, 4);
    if (isVisible())
        frame = QMargins(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const QRect area = screen->availableGeometry();
    // The layout keeps the grid's last size hint until told it changed.
    grid_->updateGeometry();
    layout()->invalidate();
    const QSize content = layout()->sizeHint();
    const Extent fit = FitToContent(
        {content.width(), content.height()}, sized_ ? Extent{width(), height()} : Extent{},
        {240, 120},
        {area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom()},
        style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    resize(fit.width, fit.height);

    const Box screenArea{area.x(), area.y(), area.width(), area.height()};
    const Extent outer{fit.width + frame.left() + frame.right(),
                       fit.height + frame.top() + frame.bottom()};
    Box place;
    if (placeBesideOwner_ && parentWidget()) {
        // Not over the main window's tree, which the player clicks next.
        const QRect owner = parentWidget()->frameGeometry();
        place =
            PlaceBeside({owner.x(), owner.y(), owner.width(), owner.height()}, outer, screenArea);
        placeBesideOwner_ = false;
    } else {
        const QPoint at = isVisible() ? frameGeometry().topLeft() : pos();
        place = KeepInside({at.x(), at.y(), outer.width, outer.height}, screenArea);
    }
    move(place.x, place.y);
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
