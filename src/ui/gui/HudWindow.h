#pragma once

#include "HudContext.h"
#include "util/Timer.h"
#include "util/gui/QtTimers.h"

#include <QFont>
#include <QSize>
#include <QWidget>

class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;

namespace tarvik {

// HUD mode: a small translucent window that stays above the game and shows
// the real-time statistics of the user's character. It turns opaque while
// the mouse is over it and re-asserts its place on top at the rate of the
// hover slider.
//
// The main window hides itself, creates the HUD and shows it; the HUD makes
// itself topmost. Closing it emits Closed(), after which the owner shows
// itself again and deletes the HUD (one object per HUD session).
class HudWindow : public QWidget {
    Q_OBJECT

public:
    explicit HudWindow(const HudContext& context, QWidget* parent = nullptr);
    ~HudWindow() override;

    // Opacity and colours from the user options, after they changed.
    void ApplyUserOptions();
    // Header cells, selection, lines and empty area of the grid follow the
    // grid's own (control) colours.
    void UpdateFlexgridColors();
    // Empties the damage and attack-bonus data and redraws the grid; fugue
    // timers stay.
    void ClearHUDData();
    // Refreshes the statistics: when forced, or when they changed since the
    // last refresh. Stops the refresh timer for good while monitoring is off.
    void UpdateDisplay(bool force);
    // The session's real-time figures changed (or, false, need no refresh).
    void SetRealTimeDataChanged(bool changed) { realTimeDataChanged_ = changed; }
    // "DPS  you N  /  party N" while a fight runs; hidden otherwise.
    void UpdateFightDps();
    // The fugue labels at one tick of their timer.
    void UpdateFugueLabels();
    // One mouse-over tick: opaque while the mouse is over the window.
    void UpdateMouseOver(bool over);
    // Explains once per user that a Wayland session ignores opacity and
    // stay-on-top; does nothing on other platforms.
    void ShowPlatformHint(const QString& platformName);

    // The two settings buttons: the on-top timer rests while the dialog is open.
    void CustomizeDisplay();
    void SetRtmOptions();

    // How much the contents are scaled to the window's size (1 as laid out).
    double Scale() const { return scale_; }
    // The size the contents were laid out for.
    QSize DesignSize() const { return designSize_; }
    // The HUD re-asserts its place on top (at the hover level's rate).
    bool KeepsOnTop() const { return timerOnTop_.Running(); }

    // The contents follow the window's size, down to half of it.
    static constexpr double MinimumScale = 0.5;
    static constexpr double MaximumScale = 3.0;

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    QLabel* AddStatistic(QGridLayout* layout, int row, int column, const char* name,
                         const QString& caption, const QString& initial, const QString& tooltip);
    void InitializeGrid();
    void FitGrid();
    // Fonts and the sizes that depend on them, for a scale of the layout.
    void ApplyScale(double scale);
    QFont ScaledFont(bool bold) const;
    void ApplyHoverBehavior(int level);
    void SetOpacity(int alpha);
    void RemoveOpacity();
    bool IsMouseOverWindow() const;
    void OnTopTick();
    void Unload();

    HudContext context_;

    QLabel* totalXP_ = nullptr;
    QLabel* numFugueTimers_ = nullptr;
    QLabel* nextFugueTimer_ = nullptr;
    QLabel* abIn_ = nullptr;
    QLabel* abOut_ = nullptr;
    QLabel* conceal_ = nullptr;
    QLabel* fightDps_ = nullptr;
    QLabel* monitoringHint_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QSlider* hoverSlider_ = nullptr;
    QLabel* hoverCaption_ = nullptr;
    QPushButton* customizeDisplay_ = nullptr;
    QPushButton* monitoringOptions_ = nullptr;
    QPushButton* clearData_ = nullptr;

    QGridLayout* statistics_ = nullptr;
    QLayout* controls_ = nullptr;

    QtTimerFactory qtTimers_;
    IntervalTimer timerFugueTimers_;
    IntervalTimer timerMouseOver_;
    IntervalTimer timerOnTop_;
    IntervalTimer timerUpdateDisplay_;
    bool realTimeDataChanged_ = false;

    QFont baseFont_;
    QSize designSize_;
    double scale_ = 1.0;
    bool mouseOverHud_ = false;
    bool shownOnce_ = false;
    bool unloaded_ = false;
};

} // namespace tarvik
