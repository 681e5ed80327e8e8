#pragma once

#include "meter/MeterBoard.h"
#include "meter/MeterSettings.h"
#include "util/Timer.h"

#include <functional>
#include <memory>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QSizeGrip;

namespace tarvik {

class Clock;
class SettingsStore;
struct UserOptions;

// What the meter uses of the main window; all of it outlives the meter.
struct MeterContext {
    SettingsStore& store;       // the meter's settings and place
    const UserOptions& options; // the HUD's four colours
    const Clock& clock;         // re-sorts and repaint pacing
    TimerFactory& timers;       // the repaint delay and the cursor poll
    std::function<CurrentFightChoice()> currentFight;
    std::function<Roster()> roster;
    // The cursor on the screen; a click-through window gets no hover events.
    std::function<QPoint()> cursorPos;
};

// A small translucent window over the game: the current fight's figures per
// character of your side. Locked, it lets clicks through to the game and
// cannot be moved; a lock glyph under the cursor unlocks it.
class MeterWindow : public QWidget {
    Q_OBJECT

public:
    // Repaints come at most this often, however fast the log grows.
    static constexpr int64_t MinRepaintGapMs = 50;
    // While locked the cursor is looked at this often.
    static constexpr int CursorPollMs = 200;
    static constexpr int DesignWidth = 280;

    explicit MeterWindow(const MeterContext& context, QWidget* parent = nullptr);
    ~MeterWindow() override;

    // New lines may have changed the figures: shown at once, or after the
    // repaint gap when the last repaint was within it.
    void DataChanged();
    // Builds the view now; repaints only when it differs from the one shown.
    void Refresh();

    bool Locked() const { return settings_.locked; }
    void SetLocked(bool locked);
    MeterMode Mode() const { return settings_.mode; }
    void SetMode(MeterMode mode);
    int OpacityPercent() const { return settings_.opacityPercent; }
    void SetOpacityPercent(int percent);
    // The HUD's colours; every refresh looks whether they changed.
    void ApplyColors();
    QColor BackgroundColor() const { return colors_.window; }

    const MeterView& View() const { return board_.View(); }
    double Scale() const { return scale_; }
    bool LockGlyphShown() const { return glyphShown_; }
    // Where the lock glyph is, in window coordinates.
    QRect LockGlyphRect() const;
    // One look at the cursor while locked (the poll's work).
    void PollCursor();
    // Repaints asked for since the window was made.
    int Repaints() const { return repaints_; }

signals:
    void Closed();
    void LockChanged(bool locked);
    // After a paint that showed a new view.
    void ViewPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Palette {
        QColor windowText;
        QColor window;
        QColor text;
        QColor track;
        QColor bar;
        QColor yourBar;
        friend bool operator==(const Palette&, const Palette&) = default;
    };
    void SetInputTransparent(bool transparent);
    void ShowGlyph(bool shown);
    void StoreSettings();
    void StorePlace();
    QFont ScaledFont(double factor, bool bold) const;
    void PaintGlyph(QPainter& painter, const QRect& box) const;

    MeterContext context_;
    MeterSettings settings_;
    MeterBoard board_;
    Palette colors_;
    std::unique_ptr<Timer> repaintTimer_;
    std::unique_ptr<Timer> cursorTimer_;
    bool repaintPending_ = false;
    int64_t lastRefreshMs_ = 0;
    bool refreshedOnce_ = false;
    double scale_ = 1.0;
    QFont baseFont_;
    bool glyphShown_ = false;
    bool inputTransparent_ = false;
    bool viewChanged_ = false;
    int repaints_ = 0;
    QSizeGrip* grip_ = nullptr;
    // Dragging by hand where the window manager cannot move the window.
    bool dragging_ = false;
    QPoint dragOffset_;
    bool placeStored_ = false;
};

} // namespace tarvik
