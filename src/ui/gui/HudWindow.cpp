#include "HudWindow.h"

#include "ColorClasses.h"
#include "DisplaySettingsDialog.h"
#include "RtmSettingsDialog.h"
#include "analysis/Session.h"
#include "config/ProgramInfo.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "fights/FightViews.h"
#include "ui/HudView.h"
#include "ui/WindowFit.h"
#include "util/SettingsStore.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/ScreenColormap.h"
#include "util/gui/WindowPlacement.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvik {

namespace {

constexpr const char* WindowName = "frmHUD";
constexpr const char* HudSection = "HUDOptions";
constexpr const char* WaylandHintKey = "WaylandHintShown";

QString WaylandHintText()
{
    return QStringLiteral(
        "This desktop runs a Wayland session, which does not let Tarvik keep the HUD above "
        "the game or make it translucent.\n\n"
        "To have both, start Tarvik with the environment variable QT_QPA_PLATFORM=xcb, "
        "for example:\n\n    QT_QPA_PLATFORM=xcb Tarvik");
}

} // namespace

HudWindow::HudWindow(const HudContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , context_(context)
    , timerFugueTimers_(context.timers ? *context.timers : qtTimers_, TimerKind::Repeating,
                        std::chrono::milliseconds(500), [this] { UpdateFugueLabels(); })
    , timerMouseOver_(context.timers ? *context.timers : qtTimers_, TimerKind::Repeating,
                      std::chrono::milliseconds(250),
                      [this] { UpdateMouseOver(IsMouseOverWindow()); })
    , timerOnTop_(context.timers ? *context.timers : qtTimers_, TimerKind::Repeating,
                  std::chrono::milliseconds(250), [this] { OnTopTick(); })
    , timerUpdateDisplay_(context.timers ? *context.timers : qtTimers_, TimerKind::Repeating,
                          std::chrono::milliseconds(1000), [this] { UpdateDisplay(false); })
{
    setObjectName(QString::fromLatin1(WindowName));
    context_.debug.LogDebug("Loading frmHUD.", 3);
    BuildControls();
    setWindowTitle(ToQString(ProgramInfo::ProductName() + " HUD Mode"));
    ApplyUserOptions();
    SetAlwaysOnTop(*this, true);

    timerFugueTimers_.Start();
    timerMouseOver_.Start();
    timerUpdateDisplay_.Start();

    InitializeGrid();
    // Placed once the grid has its size, so that a first opening is centred.
    adjustSize();
    // The contents scale with the window (resizeEvent), so the window's size
    // is not held to what they need at full size.
    designSize_ = size();
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize((QSizeF(designSize_) * MinimumScale).toSize());
    LoadWindowPosition(*this, context_.store, QString::fromLatin1(WindowName), true);

    const QSignalBlocker blocker(hoverSlider_);
    hoverSlider_->setValue(GetHoverInterval(context_.store));
    ApplyHoverBehavior(hoverSlider_->value());
}

HudWindow::~HudWindow()
{
    Unload();
}

QLabel* HudWindow::AddStatistic(QGridLayout* layout, int row, int column, const char* name,
                                const QString& caption, const QString& initial,
                                const QString& tooltip)
{
    const QString valueName = QString::fromLatin1(name);
    auto* captionLabel = new QLabel(caption, this);
    captionLabel->setObjectName(valueName + "Label");
    auto* value = new QLabel(initial, this);
    value->setObjectName(valueName);
    for (QLabel* label : {captionLabel, value}) {
        label->setToolTip(tooltip);
        SetColorClass(*label, WindowColorClass);
    }
    layout->addWidget(captionLabel, row, column);
    layout->addWidget(value, row, column + 1);
    return value;
}

void HudWindow::BuildControls()
{
    auto* frame = new QFrame(this);
    frame->setObjectName("frameMiscStatistics");
    frame->setFrameShape(QFrame::StyledPanel);
    SetColorClass(*frame, WindowColorClass);
    auto* statistics = new QGridLayout(frame);
    statistics_ = statistics;
    totalXP_ = AddStatistic(statistics, 0, 0, "lblTotalXP", "Total XP:", "0",
                            "The total amount of XP gained for this session.");
    conceal_ = AddStatistic(statistics, 1, 0, "lblConceal", "Conceal:", "0%",
                            "Your last concealment rating.");
    abIn_ = AddStatistic(statistics, 0, 2, "lblABIn", "AB In:", "n/a",
                         "The average attack bonus of the recent attacks made against your "
                         "character.");
    abOut_ = AddStatistic(statistics, 1, 2, "lblABOut", "AB Out:", "n/a",
                          "The average attack bonus of your character's recent attacks.");
    numFugueTimers_ = AddStatistic(statistics, 0, 4, "lblNumFugueTimers", "Fugue Timers:", "n/a",
                                   "The number of active fugue timers.");
    nextFugueTimer_ = AddStatistic(statistics, 1, 4, "lblNextFugueTimer", "Next Timer:", "n/a",
                                   "The time until the next fugue timer expires.");
    for (int column : {1, 3, 5})
        statistics->setColumnStretch(column, 1);
    fightDps_ = new QLabel(this);
    fightDps_->setObjectName("lblFightDps");
    fightDps_->setToolTip(
        "Your and your side's damage per second in the fight going on, else the last one.");
    SetColorClass(*fightDps_, WindowColorClass);
    // Its room stays when it hides, so the window does not jump between fights.
    QSizePolicy keepRoom = fightDps_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    fightDps_->setSizePolicy(keepRoom);
    fightDps_->setVisible(false);
    statistics->addWidget(fightDps_, 2, 0, 1, 6);
    // Opened before monitoring, the HUD would stay empty without a word.
    monitoringHint_ =
        new QLabel("Monitoring is off: close the HUD and click Monitor in the main window.", this);
    monitoringHint_->setObjectName("lblMonitoringHint");
    // Where the scaled text runs a few pixels wider than its room, it takes a
    // second line instead of losing its end.
    monitoringHint_->setWordWrap(true);
    SetColorClass(*monitoringHint_, WindowColorClass);
    monitoringHint_->setVisible(false);
    statistics->addWidget(monitoringHint_, 3, 0, 1, 6);

    grid_ = new QTableWidget(this);
    grid_->setObjectName("msflexgridHUD");
    SetColorClass(*grid_, ControlColorClass);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setWordWrap(false);
    // A text that a rounding pixel short of its cell would lose to an
    // ellipsis is shown whole instead.
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->horizontalHeader()->setVisible(false);
    grid_->verticalHeader()->setVisible(false);
    // Columns and rows as small as their texts, at any scale.
    grid_->horizontalHeader()->setMinimumSectionSize(1);
    grid_->verticalHeader()->setMinimumSectionSize(1);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* hoverLabel = new QLabel("Hover:", this);
    hoverLabel->setObjectName("lblOnTop");
    SetColorClass(*hoverLabel, WindowColorClass);
    hoverSlider_ = new QSlider(Qt::Horizontal, this);
    hoverSlider_->setObjectName("cSliderOnTop");
    hoverSlider_->setRange(1, 4);
    hoverSlider_->setPageStep(1);
    hoverSlider_->setValue(3);
    hoverSlider_->setTickPosition(QSlider::TicksBelow);
    hoverSlider_->setTickInterval(1);
    hoverCaption_ = new QLabel(this);
    hoverCaption_->setObjectName("cSliderOnTopCaption");
    hoverCaption_->setAlignment(Qt::AlignCenter);
    const QString hoverTip = QStringLiteral(
        "Selects the hovering behavior.  More aggressive settings may have performance or "
        "functionality side effects.");
    for (QWidget* part : std::initializer_list<QWidget*>{hoverSlider_, hoverCaption_}) {
        part->setToolTip(hoverTip);
        SetColorClass(*part, ControlColorClass);
    }
    connect(hoverSlider_, &QSlider::valueChanged, this, &HudWindow::ApplyHoverBehavior);

    customizeDisplay_ = new QPushButton("Customize Display", this);
    customizeDisplay_->setObjectName("cmdCustomizeDisplay");
    monitoringOptions_ = new QPushButton("Set RTM Options", this);
    monitoringOptions_->setObjectName("cmdMonitoringOptions");
    clearData_ = new QPushButton("Clear HUD Data", this);
    clearData_->setObjectName("cmdClearData");
    for (QPushButton* button : {customizeDisplay_, monitoringOptions_, clearData_}) {
        SetColorClass(*button, ControlColorClass);
        button->setAutoDefault(false);
    }
    connect(customizeDisplay_, &QPushButton::clicked, this, &HudWindow::CustomizeDisplay);
    connect(monitoringOptions_, &QPushButton::clicked, this, &HudWindow::SetRtmOptions);
    connect(clearData_, &QPushButton::clicked, this, &HudWindow::ClearHUDData);

    auto* controls = new QHBoxLayout;
    controls->addWidget(hoverLabel);
    controls->addWidget(hoverSlider_);
    controls->addWidget(hoverCaption_);
    controls->addStretch(1);
    controls->addWidget(customizeDisplay_);
    controls->addWidget(monitoringOptions_);
    controls->addWidget(clearData_);

    controls_ = controls;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(grid_, 0, Qt::AlignLeft);
    layout->addLayout(controls);
    layout->addStretch(1);
    baseFont_ = font();
    ApplyScale(1.0);
}

QFont HudWindow::ScaledFont(bool bold) const
{
    QFont scaled = baseFont_;
    if (baseFont_.pointSizeF() > 0)
        scaled.setPointSizeF(std::max(1.0, baseFont_.pointSizeF() * scale_));
    else
        scaled.setPixelSize(std::max(1, qRound(baseFont_.pixelSize() * scale_)));
    scaled.setBold(bold);
    return scaled;
}

void HudWindow::ApplyScale(double scale)
{
    scale_ = scale;
    const auto scaled = [scale](int pixels) { return qRound(pixels * scale); };
    setFont(ScaledFont(false));
    // Labels that carry a font of their own keep their weight, not their size.
    nextFugueTimer_->setFont(ScaledFont(nextFugueTimer_->font().bold()));
    const QFontMetrics metrics(font());
    // Room for the widest values, so the columns do not jump as they change.
    statistics_->setColumnMinimumWidth(1, metrics.horizontalAdvance("9,999,999"));
    statistics_->setColumnMinimumWidth(3, metrics.horizontalAdvance("999"));
    statistics_->setColumnMinimumWidth(5, metrics.horizontalAdvance("99:99"));
    statistics_->setHorizontalSpacing(scaled(8));
    statistics_->setContentsMargins(scaled(9), scaled(6), scaled(9), scaled(6));
    hoverSlider_->setFixedSize(metrics.horizontalAdvance("Aggressive") * 3 / 2, scaled(20));
    // Below this the ticks would cover the handle.
    hoverSlider_->setTickPosition(scale < 0.8 ? QSlider::NoTicks : QSlider::TicksBelow);
    hoverCaption_->setMinimumWidth(metrics.horizontalAdvance("Aggressive") + scaled(8));
    controls_->setSpacing(scaled(6));
    // The style's smallest button is wider than a small text needs.
    for (QPushButton* button : {customizeDisplay_, monitoringOptions_, clearData_}) {
        button->setMinimumWidth(metrics.horizontalAdvance(button->text()) + scaled(12));
        button->setFixedHeight(metrics.height() + scaled(8));
    }
    layout()->setContentsMargins(scaled(6), scaled(6), scaled(6), scaled(6));
    layout()->setSpacing(scaled(6));

    const QFont fixedFont = ScaledFont(true);
    for (int row = 0; row < grid_->rowCount(); ++row) {
        for (int column = 0; column < grid_->columnCount(); ++column) {
            QTableWidgetItem* cell = grid_->item(row, column);
            if (cell && (row == 0 || column == 0))
                cell->setFont(fixedFont);
        }
    }
    FitGrid();
    // Laid out at once, so that the window never shows the old sizes.
    layout()->activate();
}

void HudWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (designSize_.isEmpty())
        return;
    const double scale =
        ProportionalScale({width(), height()}, {designSize_.width(), designSize_.height()},
                          MinimumScale, MaximumScale);
    // Small steps would only make the text flicker while the window is dragged.
    if (std::abs(scale - scale_) >= 0.02)
        ApplyScale(scale);
}

void HudWindow::InitializeGrid()
{
    const AnalysisConfig& config = context_.session.Config();
    const int types = config.DamageTypeCount();
    grid_->setUpdatesEnabled(false);
    grid_->clear();
    grid_->setRowCount(3);
    grid_->setColumnCount(types + 1);
    const std::vector<std::string> headers = HudGridColumnHeaders(config.shortDamageTypes, types);
    const QString rowHeaders[] = {QString(), QString::fromLatin1(HudOwnRowHeader),
                                  QString::fromLatin1(HudEnemyRowHeader)};
    const QFont fixedFont = ScaledFont(true);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column <= types; ++column) {
            auto* cell = new QTableWidgetItem;
            if (row == 0 || column == 0) {
                cell->setText(row == 0 ? ToQString(headers[static_cast<size_t>(column)])
                                       : rowHeaders[row]);
                cell->setFont(fixedFont);
                cell->setTextAlignment(Qt::AlignCenter);
            } else {
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            grid_->setItem(row, column, cell);
        }
    }
    UpdateFlexgridColors();
    FitGrid();
    grid_->setUpdatesEnabled(true);
    UpdateDisplay(true);
    context_.debug.LogDebug("HUD:  Data cleared by user request.", 3);
}

void HudWindow::FitGrid()
{
    // Measured here rather than by the style, which would add room of its
    // own that does not shrink with the text: only the text margins a cell
    // needs to show its text whole, and the grid line.
    const auto scaled = [this](int pixels) { return std::max(1, qRound(pixels * scale_)); };
    const int margins =
        2 * (grid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1) + 1;
    const int frame = grid_->frameWidth() * 2;
    int width = frame;
    for (int column = 0; column < grid_->columnCount(); ++column) {
        int widest = 0;
        for (int row = 0; row < grid_->rowCount(); ++row) {
            if (const QTableWidgetItem* cell = grid_->item(row, column)) {
                const QFontMetrics metrics(cell->font().resolve(grid_->font()));
                widest = std::max(widest, metrics.horizontalAdvance(cell->text()));
            }
        }
        const int columnWidth = std::max(widest, scaled(8)) + margins;
        grid_->setColumnWidth(column, columnWidth);
        width += columnWidth;
    }
    const int rowHeight = QFontMetrics(ScaledFont(true)).height() + scaled(4);
    int height = frame;
    for (int row = 0; row < grid_->rowCount(); ++row) {
        grid_->setRowHeight(row, rowHeight);
        height += rowHeight;
    }
    grid_->setFixedSize(width, height);
}

void HudWindow::UpdateFlexgridColors()
{
    QPalette palette = grid_->palette();
    const QColor fore = palette.color(QPalette::Text);
    const QColor back = palette.color(QPalette::Base);
    palette.setColor(QPalette::Highlight, back);
    palette.setColor(QPalette::HighlightedText, fore);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::Button, back);
    palette.setColor(QPalette::ButtonText, fore);
    grid_->setPalette(palette);
    // Styles take the grid lines from a tone of their own; only a style sheet overrides it.
    grid_->setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(fore.name()));
    for (int row = 0; row < grid_->rowCount(); ++row) {
        for (int column = 0; column < grid_->columnCount(); ++column) {
            if (QTableWidgetItem* cell = grid_->item(row, column)) {
                cell->setForeground(fore);
                cell->setBackground(back);
            }
        }
    }
}

void HudWindow::UpdateDisplay(bool force)
{
    Session& session = context_.session;
    monitoringHint_->setVisible(!session.Options().monitoringEnabled);
    if (!session.Options().monitoringEnabled) {
        context_.debug.LogDebug("HUD:  Shutting down update timer, monitoring is not active.", 3);
        timerUpdateDisplay_.Stop();
        return;
    }
    // The fight ends by the clock, without a new line.
    UpdateFightDps();
    if (!realTimeDataChanged_ && !force)
        return;
    context_.debug.LogDebug("HUD:  Updating display.", 3);
    const HudStatistics shown = BuildHudStatistics(session);
    const int columns = grid_->columnCount();
    for (size_t i = 0; i < shown.own.size() && static_cast<int>(i) + 1 < columns; ++i) {
        const int column = static_cast<int>(i) + 1;
        if (QTableWidgetItem* cell = grid_->item(1, column))
            cell->setText(ToQString(shown.own[i]));
        if (QTableWidgetItem* cell = grid_->item(2, column))
            cell->setText(ToQString(shown.enemy[i]));
    }
    FitGrid();
    abOut_->setText(ToQString(shown.abOut));
    abIn_->setText(ToQString(shown.abIn));
    conceal_->setText(ToQString(shown.concealment));
    totalXP_->setText(ToQString(shown.experience));
    realTimeDataChanged_ = false;
}

void HudWindow::UpdateFightDps()
{
    const Session& session = context_.session;
    const std::string text =
        HudDpsText(session.Fights(), session.FightRoster(), session.GetClock().Now());
    if (text.empty()) {
        fightDps_->setVisible(false);
        return;
    }
    fightDps_->setText(ToQString(text));
    fightDps_->setVisible(true);
}

void HudWindow::UpdateFugueLabels()
{
    context_.debug.LogDebug("HUD:  Fugue timer firing.", 4);
    RealTimeState& realTime = context_.session.RealTime();
    int32_t secondsToNext = 0;
    int32_t count = 0;
    realTime.GetFugueTimers(secondsToNext, count);
    const HudFugueLabels labels =
        MakeHudFugueLabels(count, secondsToNext, realTime.FugueWarningSeconds());
    numFugueTimers_->setText(ToQString(labels.count));
    nextFugueTimer_->setText(ToQString(labels.next));
    if (nextFugueTimer_->font().bold() != labels.bold)
        nextFugueTimer_->setFont(ScaledFont(labels.bold));
}

void HudWindow::ClearHUDData()
{
    realTimeDataChanged_ = false;
    context_.session.ClearRealTimeData();
    InitializeGrid();
}

void HudWindow::ApplyHoverBehavior(int level)
{
    if (const auto setting = HoverSettingFor(level)) {
        if (setting->running) {
            timerOnTop_.SetInterval(std::chrono::milliseconds(setting->intervalMs));
            timerOnTop_.Start();
        } else {
            timerOnTop_.Stop();
        }
        hoverCaption_->setText(ToQString(setting->caption));
    }
    context_.debug.Log(3, [&] {
        return "HUD:  Setting hover behavior to " + hoverCaption_->text().toStdString() + ".";
    });
    SetHoverBehavior(context_.store, level);
    if (context_.setHoverInterval)
        context_.setHoverInterval(
            RealTimeState::ClampHoverInterval(static_cast<int>(timerOnTop_.Interval().count())));
}

void HudWindow::ApplyUserOptions()
{
    SetOpacity(OpacityAlpha(context_.options.opacityPercent));
    mouseOverHud_ = false;
    ApplyHudColors(*this, context_.options);
    UpdateFlexgridColors();
}

void HudWindow::SetOpacity(int alpha)
{
    setWindowOpacity(alpha / 255.0);
}

void HudWindow::RemoveOpacity()
{
    setWindowOpacity(1.0);
}

bool HudWindow::IsMouseOverWindow() const
{
    return frameGeometry().contains(QCursor::pos());
}

void HudWindow::UpdateMouseOver(bool over)
{
    if (!mouseOverHud_ && over) {
        RemoveOpacity();
        mouseOverHud_ = true;
    } else if (mouseOverHud_ && !over) {
        SetOpacity(OpacityAlpha(context_.options.opacityPercent));
        mouseOverHud_ = false;
    }
}

void HudWindow::OnTopTick()
{
    // Qt cannot ask for the z-order; raising an already topmost window is cheap.
    SetAlwaysOnTop(*this, true);
}

void HudWindow::CustomizeDisplay()
{
    timerOnTop_.Stop();
    {
        DisplaySettingsDialog dialog(context_, this);
        connect(&dialog, &DisplaySettingsDialog::Saved, this, &HudWindow::ApplyUserOptions);
        dialog.exec();
    }
    timerOnTop_.Start();
}

void HudWindow::SetRtmOptions()
{
    timerOnTop_.Stop();
    bool accepted = false;
    {
        RtmSettingsDialog dialog(context_, this);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    // The new ring size emptied the attack-bonus averages shown here.
    if (accepted)
        UpdateDisplay(true);
    timerOnTop_.Start();
}

void HudWindow::ShowPlatformHint(const QString& platformName)
{
    if (!platformName.startsWith(QLatin1String("wayland")))
        return;
    if (ReadFlag(context_.store, HudSection, WaylandHintKey, false))
        return;
    context_.store.Write(HudSection, WaylandHintKey, FlagText(true));
    context_.dialogs.Message(this, Dialogs::Icon::Information, windowTitle(), WaylandHintText());
}

void HudWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Each time: changing the window's flags makes its native window again.
    ShareScreenColormap(*this);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // After the window is on screen, so the hint does not hold up its showing.
    QTimer::singleShot(0, this, [this] { ShowPlatformHint(QGuiApplication::platformName()); });
}

void HudWindow::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    for (IntervalTimer* timer :
         {&timerFugueTimers_, &timerMouseOver_, &timerOnTop_, &timerUpdateDisplay_})
        timer->Stop();
    context_.debug.LogDebug("Unloading frmHUD.", 3);
    SaveWindowPosition(*this, context_.store, QString::fromLatin1(WindowName), true);
}

void HudWindow::closeEvent(QCloseEvent* event)
{
    Unload();
    QWidget::closeEvent(event);
    emit Closed();
}

} // namespace tarvik
