#include "MeterWindow.h"

#include "config/UserOptions.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"
#include "util/gui/QtText.h"
#include "util/gui/ScreenColormap.h"
#include "util/gui/WindowPlacement.h"

#include <algorithm>
#include <cmath>

#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>
#include <QSizeGrip>
#include <QWindow>

namespace tarvik {

namespace {

constexpr const char* WindowName = "frmMeter";
constexpr int DesignHeight = 170;

QColor Mix(const QColor& from, const QColor& to, double amount)
{
    const auto blend = [amount](int a, int b) { return qRound(a + (b - a) * amount); };
    return QColor(blend(from.red(), to.red()), blend(from.green(), to.green()),
                  blend(from.blue(), to.blue()));
}

} // namespace

MeterWindow::MeterWindow(const MeterContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , context_(context)
    , settings_(LoadMeterSettings(context.store))
{
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral("Tarvik Meter"));
    // Showing it must not take the keyboard from the game.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing it while the main window sits in the tray must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);
    baseFont_ = font();
    setMinimumSize(qRound(DesignWidth * MeterMinimumScale), qRound(60 * MeterMinimumScale));
    resize(DesignWidth, DesignHeight);

    grip_ = new QSizeGrip(this);
    grip_->setObjectName("meterSizeGrip");
    repaintTimer_ = context_.timers.Make(TimerKind::SingleShot, [this] {
        repaintPending_ = false;
        Refresh();
    });
    cursorTimer_ = context_.timers.Make(TimerKind::SingleShot, [this] {
        PollCursor();
        if (settings_.locked)
            cursorTimer_->Start(std::chrono::milliseconds(CursorPollMs));
    });

    ApplyColors();
    setWindowOpacity(settings_.opacityPercent / 100.0);
    LoadWindowPosition(*this, context_.store, QString::fromLatin1(WindowName), true);
    KeepOnScreen(*this);
    if (settings_.locked) {
        SetInputTransparent(true);
        cursorTimer_->Start(std::chrono::milliseconds(CursorPollMs));
    }
    grip_->setVisible(!settings_.locked);
    Refresh();
}

MeterWindow::~MeterWindow()
{
    if (isVisible())
        StorePlace();
}

void MeterWindow::DataChanged()
{
    if (repaintPending_)
        return;
    const int64_t since = context_.clock.TickMs() - lastRefreshMs_;
    if (!refreshedOnce_ || since >= MinRepaintGapMs || since < 0) {
        Refresh();
        return;
    }
    repaintPending_ = true;
    repaintTimer_->Start(std::chrono::milliseconds(MinRepaintGapMs - since));
}

void MeterWindow::Refresh()
{
    const int64_t now = context_.clock.TickMs();
    ApplyColors(); // the HUD's display settings may have changed them
    const MeterView before = board_.View();
    board_.Update(context_.currentFight(), context_.roster(), settings_.mode, now);
    if (board_.View() == before && repaints_ > 0)
        return;
    // Only repaints are paced: a look that found nothing new delays nothing.
    lastRefreshMs_ = now;
    refreshedOnce_ = true;
    viewChanged_ = true;
    ++repaints_;
    update();
}

void MeterWindow::SetLocked(bool locked)
{
    if (settings_.locked == locked)
        return;
    settings_.locked = locked;
    StoreSettings();
    SetInputTransparent(locked);
    grip_->setVisible(!locked);
    dragging_ = false;
    if (locked)
        cursorTimer_->Start(std::chrono::milliseconds(CursorPollMs));
    else
        cursorTimer_->Stop();
    update();
    emit LockChanged(locked);
}

void MeterWindow::SetMode(MeterMode mode)
{
    if (settings_.mode == mode)
        return;
    settings_.mode = mode;
    StoreSettings();
    Refresh();
}

void MeterWindow::SetOpacityPercent(int percent)
{
    settings_.opacityPercent = std::clamp(percent, MeterSettings::MinimumOpacity, 100);
    StoreSettings();
    setWindowOpacity(settings_.opacityPercent / 100.0);
}

void MeterWindow::ApplyColors()
{
    const UserOptions& options = context_.options;
    Palette colors;
    colors.windowText = FromColorValue(options.windowForegroundColor);
    colors.window = FromColorValue(options.windowBackgroundColor);
    colors.text = FromColorValue(options.controlForegroundColor);
    colors.track = FromColorValue(options.controlBackgroundColor);
    // Bars are tones between the control colours, so they show with any pair.
    colors.bar = Mix(colors.track, colors.text, 0.25);
    colors.yourBar = Mix(colors.track, colors.text, 0.42);
    if (colors == colors_)
        return;
    colors_ = colors;
    update();
}

QRect MeterWindow::LockGlyphRect() const
{
    const int size = std::max(8, qRound(16 * scale_));
    const int margin = std::max(2, qRound(5 * scale_));
    return QRect(width() - size - margin, margin, size, size);
}

void MeterWindow::PollCursor()
{
    if (!settings_.locked || !isVisible())
        return;
    const QPoint cursor = context_.cursorPos();
    ShowGlyph(frameGeometry().contains(cursor));
    // Only the glyph takes a click; the rest of the window stays the game's.
    SetInputTransparent(!LockGlyphRect().contains(mapFromGlobal(cursor)));
}

void MeterWindow::ShowGlyph(bool shown)
{
    if (glyphShown_ == shown)
        return;
    glyphShown_ = shown;
    update();
}

void MeterWindow::SetInputTransparent(bool transparent)
{
    if (inputTransparent_ == transparent &&
        windowFlags().testFlag(Qt::WindowTransparentForInput) == transparent)
        return;
    inputTransparent_ = transparent;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowTransparentForInput, transparent);
    if (QWindow* handle = windowHandle()) {
        // Changed in place: setWindowFlags would hide and re-create the window.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void MeterWindow::StoreSettings()
{
    SaveMeterSettings(context_.store, settings_);
}

void MeterWindow::StorePlace()
{
    SaveWindowPosition(*this, context_.store, QString::fromLatin1(WindowName), true);
}

QFont MeterWindow::ScaledFont(double factor, bool bold) const
{
    QFont scaled = baseFont_;
    if (baseFont_.pointSizeF() > 0)
        scaled.setPointSizeF(std::max(1.0, baseFont_.pointSizeF() * scale_ * factor));
    else
        scaled.setPixelSize(std::max(1, qRound(baseFont_.pixelSize() * scale_ * factor)));
    scaled.setBold(bold);
    return scaled;
}

void MeterWindow::PaintGlyph(QPainter& painter, const QRect& box) const
{
    // A padlock: closed while locked, its shackle open while not.
    const double w = box.width();
    const double h = box.height();
    const QRectF body(box.left() + w * 0.15, box.top() + h * 0.45, w * 0.7, h * 0.5);
    QPen pen(colors_.windowText, std::max(1.0, w / 9));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double shift = settings_.locked ? 0 : w * 0.28;
    const QRectF shackle(box.left() + w * 0.3 + shift, box.top() + h * 0.08, w * 0.4, h * 0.6);
    QPainterPath arc;
    arc.moveTo(shackle.left(), body.top());
    arc.lineTo(shackle.left(), shackle.center().y());
    arc.arcTo(shackle.left(), shackle.top(), shackle.width(), shackle.height() * 0.6, 180, -180);
    arc.lineTo(shackle.right(), settings_.locked ? body.top() : shackle.center().y());
    painter.drawPath(arc);
    painter.setBrush(colors_.windowText);
    painter.drawRoundedRect(body, w / 10, w / 10);
}

void MeterWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), colors_.window);
    const MeterView& view = board_.View();
    const auto scaled = [this](int pixels) { return std::max(1, qRound(pixels * scale_)); };
    const int pad = scaled(6);
    const int inner = width() - 2 * pad;

    const QFont titleFont = ScaledFont(1.0, true);
    const QFont rowFont = ScaledFont(1.0, false);
    const QFont smallFont = ScaledFont(0.85, false);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics rowMetrics(rowFont);
    const QFontMetrics smallMetrics(smallFont);
    const QRect glyph = LockGlyphRect();
    const int glyphRoom = glyph.width() + pad;

    // The fight's name and time, then the mode and whether it ended.
    int y = pad;
    painter.setPen(colors_.windowText);
    painter.setFont(titleFont);
    const QString elapsed = ToQString(view.timeText);
    const int elapsedWidth = titleMetrics.horizontalAdvance(elapsed);
    const QRect titleLine(pad, y, inner - glyphRoom, titleMetrics.height());
    painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(ToQString(view.title), Qt::ElideRight,
                                             titleLine.width() - elapsedWidth - pad));
    painter.drawText(titleLine, Qt::AlignRight | Qt::AlignVCenter, elapsed);
    y += titleMetrics.height();
    if (glyphShown_)
        PaintGlyph(painter, glyph);

    // Figures right-aligned in columns as wide as their widest text or heading.
    const QString rateCaption = ToQString(view.rateCaption);
    const QString shareCaption = ToQString(view.shareCaption);
    const QString totalCaption = ToQString(view.totalCaption);
    int rateWidth = smallMetrics.horizontalAdvance(rateCaption);
    int totalWidth = smallMetrics.horizontalAdvance(totalCaption);
    for (const MeterRow& row : view.rows) {
        rateWidth = std::max(rateWidth, rowMetrics.horizontalAdvance(ToQString(row.rateText)));
        totalWidth = std::max(totalWidth, rowMetrics.horizontalAdvance(ToQString(row.totalText)));
    }
    const int shareWidth = std::max(rowMetrics.horizontalAdvance(QStringLiteral("100%")),
                                    smallMetrics.horizontalAdvance(shareCaption));
    const int gap = scaled(8);
    const int figures = rateWidth + shareWidth + totalWidth + 2 * gap;
    const int textInset = scaled(4);

    // The mode, and the columns' headings over their figures.
    painter.setFont(smallFont);
    const QRect captionLine(pad, y, inner, smallMetrics.height());
    painter.drawText(captionLine.adjusted(textInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     ToQString(view.caption));
    if (!view.rows.empty()) {
        int right = captionLine.right() + 1 - textInset;
        for (const auto& [caption, width] :
             {std::pair{totalCaption, totalWidth}, std::pair{shareCaption, shareWidth},
              std::pair{rateCaption, rateWidth}}) {
            painter.drawText(QRect(right - width, captionLine.top(), width, captionLine.height()),
                             Qt::AlignRight | Qt::AlignVCenter, caption);
            right -= width + gap;
        }
    }
    y += smallMetrics.height() + pad / 2;

    if (view.rows.empty()) {
        painter.drawText(QRect(pad, y, inner, height() - y - pad),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         ToQString(view.emptyText));
        return;
    }
    const int rowHeight = rowMetrics.height() + scaled(4);
    const int spacing = std::max(1, scaled(2));
    const int bottom = height() - pad;

    size_t shown = 0;
    for (const MeterRow& row : view.rows) {
        const bool last = shown + 1 == view.rows.size();
        const bool roomForMore = y + 2 * rowHeight + spacing <= bottom;
        if (y + rowHeight > bottom || (!last && !roomForMore && shown > 0))
            break;
        const QRect track(pad, y, inner, rowHeight);
        painter.fillRect(track, colors_.track);
        QRect bar = track;
        bar.setWidth(std::max(1, qRound(track.width() * row.barFraction)));
        painter.fillRect(bar, row.you ? colors_.yourBar : colors_.bar);
        painter.setPen(colors_.text);
        QFont nameFont = rowFont;
        nameFont.setBold(row.you);
        painter.setFont(nameFont);
        const QRect text = track.adjusted(textInset, 0, -textInset, 0);
        const int nameWidth = text.width() - figures - gap;
        painter.drawText(QRect(text.left(), text.top(), std::max(0, nameWidth), text.height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetrics(nameFont).elidedText(ToQString(row.name), Qt::ElideRight,
                                                           std::max(0, nameWidth)));
        painter.setFont(rowFont);
        int right = text.right() + 1;
        for (const auto& [figure, width] : {std::pair{ToQString(row.totalText), totalWidth},
                                            std::pair{ToQString(row.shareText), shareWidth},
                                            std::pair{ToQString(row.rateText), rateWidth}}) {
            painter.drawText(QRect(right - width, text.top(), width, text.height()),
                             Qt::AlignRight | Qt::AlignVCenter, figure);
            right -= width + gap;
        }
        y += rowHeight + spacing;
        ++shown;
    }
    if (shown < view.rows.size()) {
        painter.setPen(colors_.windowText);
        painter.setFont(smallFont);
        painter.drawText(QRect(pad, y, inner, bottom - y), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("+%1 more").arg(view.rows.size() - shown));
    }
    if (viewChanged_) {
        viewChanged_ = false;
        emit ViewPainted();
    }
}

void MeterWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    scale_ = MeterScale(width(), DesignWidth);
    grip_->resize(grip_->sizeHint());
    grip_->move(width() - grip_->width(), height() - grip_->height());
    update();
}

void MeterWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (LockGlyphRect().contains(event->position().toPoint())) {
        SetLocked(!settings_.locked);
        return;
    }
    if (settings_.locked)
        return;
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void MeterWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && !settings_.locked)
        move(event->globalPosition().toPoint() - dragOffset_);
}

void MeterWindow::mouseReleaseEvent(QMouseEvent*)
{
    dragging_ = false;
}

void MeterWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    auto* modes = new QActionGroup(&menu);
    for (MeterMode mode : {MeterMode::Dps, MeterMode::DamageTaken, MeterMode::Healing}) {
        QAction* action = menu.addAction(QString::fromLatin1(MeterModeCaption(mode)));
        action->setCheckable(true);
        action->setChecked(settings_.mode == mode);
        action->setActionGroup(modes);
        connect(action, &QAction::triggered, this, [this, mode] { SetMode(mode); });
    }
    menu.addSeparator();
    QMenu* opacity = menu.addMenu(QStringLiteral("Opacity"));
    for (int percent = 100; percent >= MeterSettings::MinimumOpacity; percent -= 10) {
        QAction* action = opacity->addAction(QStringLiteral("%1%").arg(percent));
        action->setCheckable(true);
        action->setChecked(settings_.opacityPercent == percent);
        connect(action, &QAction::triggered, this, [this, percent] { SetOpacityPercent(percent); });
    }
    QAction* lock = menu.addAction(QStringLiteral("Lock (clicks go to the game)"));
    lock->setObjectName("meterLock");
    connect(lock, &QAction::triggered, this, [this] { SetLocked(true); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Close meter"), this, &QWidget::close);
    menu.exec(event->globalPos());
}

void MeterWindow::enterEvent(QEnterEvent*)
{
    ShowGlyph(true);
}

void MeterWindow::leaveEvent(QEvent*)
{
    // While locked the cursor poll decides, as the window may not see the cursor.
    if (!settings_.locked)
        ShowGlyph(false);
}

void MeterWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Each time: a window made again by a change of flags has Qt's colormap again.
    ShareScreenColormap(*this);
}

void MeterWindow::closeEvent(QCloseEvent* event)
{
    StorePlace();
    cursorTimer_->Stop();
    event->accept();
    emit Closed();
}

} // namespace tarvik
