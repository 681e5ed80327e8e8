#pragma once

#include "ui/DetailGrid.h"

#include <QWidget>

class QCheckBox;

namespace tarvik {

class DebugLog;
class DetailGridWidget;
class SettingsStore;

// The detail window: one grid that each view fills from scratch, and an
// "Always On Top" box remembered per user.
class DetailsWindow : public QWidget {
    Q_OBJECT

public:
    DetailsWindow(SettingsStore& store, DebugLog& debug, QWidget* owner);
    ~DetailsWindow() override;

    // Fills the grid with a view and shows the window without taking the
    // focus from the caller.
    void ShowGrid(const DetailGrid& grid);
    void ClearDetailScreen();
    bool AlwaysOnTop() const;
    DetailGridWidget* Grid() const { return grid_; }
    QCheckBox* OnTopBox() const { return onTop_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SetOnTop(bool on);
    // Grows the window to show the whole grid, within the screen.
    void FitToGrid();
    void Unload();

    SettingsStore& store_;
    DebugLog& debug_;
    QCheckBox* onTop_;
    DetailGridWidget* grid_;
    bool unloaded_ = false;
    // The window has a size of its own (stored, or shown): fitting keeps it.
    bool sized_ = false;
    // No stored place: the first view opens it beside its owner.
    bool placeBesideOwner_ = false;
};

} // namespace tarvik
