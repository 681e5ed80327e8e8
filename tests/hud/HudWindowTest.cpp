#include "ui/gui/HudWindow.h"

#include "FakeDialogs.h"
#include "TestSupport.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "ui/gui/DetailGridWidget.h"
#include "ui/gui/HudContext.h"
#include "ui/gui/RtmSettingsDialog.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/SettingsStore.h"
#include "util/gui/WindowPlacement.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A session loaded from a copy of the shipped configuration, on a manual
// clock, with everything the HUD takes from the main window.
class HudHarness {
public:
    // Distinct colours, so that a test can tell which one a control got.
    static inline const QColor WindowFore{0x10, 0x20, 0x30};
    static inline const QColor WindowBack{0xE0, 0xD0, 0xC0};
    static inline const QColor ControlFore{0x80, 0x00, 0x00};
    static inline const QColor ControlBack{0xC0, 0xFF, 0xC0};

    HudHarness()
        : logFile(clock, lastError, dir.Path(), "debug")
        , debug(logFile)
    {
        debug.SetLevel(DebugLog::MaxLevel);
        const std::string path = dir.File("Tarvik.ini");
        std::filesystem::copy_file(ShippedConfigPath(), path);
        ConfigurationResult loaded = LoadConfiguration(path, "Tarvik");
        if (!loaded.configuration)
            qFatal("The shipped configuration does not load: %s", loaded.fatalMessage.c_str());
        config = std::move(*loaded.configuration);
        session = std::make_unique<Session>(config.analysis, debug, clock, host);
        RealTimeState& realTime = session->RealTime();
        realTime.SetRTRollingAverage(config.realTime.rollingAverageInterval);
        realTime.SetFugueTimers(config.realTime.fugueTimerExpiration,
                                config.realTime.fugueTimerWarning);
        realTime.SetNumABRecords(config.realTime.abAverageRecords);
        options.windowForegroundColor = ToColorValue(WindowFore);
        options.windowBackgroundColor = ToColorValue(WindowBack);
        options.controlForegroundColor = ToColorValue(ControlFore);
        options.controlBackgroundColor = ToColorValue(ControlBack);
    }

    HudContext Context()
    {
        return {*session, options, store, debug, dialogs, config, [this](int milliseconds) {
                    hoverIntervals.push_back(milliseconds);
                }};
    }
    RealTimeState& RealTime() { return session->RealTime(); }
    // One attack's damage by type index; the total is added.
    DamageBreakdown Damage(std::initializer_list<std::pair<int, int32_t>> parts) const
    {
        DamageBreakdown damage(static_cast<size_t>(config.analysis.DamageTypeCount()), 0);
        for (const auto& [type, amount] : parts) {
            damage[static_cast<size_t>(type)] += amount;
            damage.back() += amount;
        }
        return damage;
    }

    TempDir dir;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    SessionHost host;
    Configuration config;
    std::unique_ptr<Session> session;
    UserOptions options;
    MemorySettingsStore store;
    FakeDialogs dialogs;
    std::vector<int> hoverIntervals;
};

template <class T = QWidget>
T* Find(const QWidget& parent, const QString& name)
{
    T* child = parent.findChild<T*>(name);
    if (!child)
        qFatal("No %s", qPrintable(name));
    return child;
}

int Alpha(const QWidget& window)
{
    return qRound(window.windowOpacity() * 255);
}

QString Cell(const HudWindow& hud, int row, int column)
{
    const QTableWidgetItem* item = Find<QTableWidget>(hud, "msflexgridHUD")->item(row, column);
    return item ? item->text() : QString("<none>");
}

QString Text(const QWidget& window, const char* label)
{
    return Find<QLabel>(window, label)->text();
}

QColor Fore(const QWidget& widget)
{
    return widget.palette().color(QPalette::WindowText);
}

QPushButton* Button(const QWidget& dialog, const char* name, int row)
{
    return Find<QPushButton>(dialog, QString("%1_%2").arg(name).arg(row));
}

// Fugue length (minutes), warning (seconds), AB records, interval (minutes).
void SetSliders(const QWidget& dialog, int length, int warning, int records, int interval)
{
    Find<QSlider>(dialog, "cSliderFugueTimerLength")->setValue(length);
    Find<QSlider>(dialog, "cSliderFugueTimerWarning")->setValue(warning);
    Find<QSlider>(dialog, "cSliderlblNumABRecords")->setValue(records);
    Find<QSlider>(dialog, "cSliderRollingAverageInterval")->setValue(interval);
}

std::string ReadText(const std::string& path)
{
    std::string text;
    return ReadWholeFile(path, text) ? std::string("(unreadable)") : text;
}

// Raising the HUD while one of its dialogs is open would cover the dialog.
bool StaysAboveTheHud(const QDialog& dialog, const HudWindow& hud)
{
    return !hud.KeepsOnTop() && dialog.parentWidget() == &hud &&
           dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Runs inspect on the modal dialog that the next call opens. A dialog left
// open is rejected so that a failing test cannot hang.
template <class Inspect>
void WhenModal(Inspect inspect)
{
    QTimer::singleShot(0, [inspect] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog)
            inspect(*dialog);
        else
            qWarning("No modal dialog opened");
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* open = qobject_cast<QDialog*>(window); open && open->isVisible())
                open->reject();
        }
    });
}

} // namespace

class HudWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A grid with a header row sorts by a click on it, numbers as numbers;
    // until then its rows stay in the grid's order. Two-column views do not sort.
    void detailGridSortsByItsHeaderNumbersAsNumbers()
    {
        DetailGrid grid;
        grid.columns = 3;
        grid.fixedRows = 1;
        grid.cells = {{"", "Physical", "Total"},
                      {"goblin", "9", "1,000"},
                      {"Ogre", "200", "12"},
                      {"bat", "n/a", "200"}};
        DetailGridWidget widget;
        widget.ShowGrid(grid);
        QVERIFY(widget.Sortable());
        QCOMPARE(widget.CellText(0, 2), QString("Total"));
        QCOMPARE(widget.CellText(1, 0), QString("goblin"));
        QCOMPARE(widget.rowCount(), 3);
        auto column = [&](int c) {
            QStringList texts;
            for (int row = 1; row <= widget.rowCount(); ++row)
                texts << widget.CellText(row, c);
            return texts;
        };
        widget.sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(column(2), (QStringList{"1,000", "200", "12"}));
        widget.sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(1), (QStringList{"9", "200", "n/a"}));
        widget.sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(column(0), (QStringList{"bat", "goblin", "Ogre"}));
        QVERIFY(widget.ContentSize().height() > 3 * widget.rowHeight(0));

        grid.columns = 2;
        grid.fixedRows = 0;
        grid.cells = {{"Attacks", "10"}, {"Kills", "2"}};
        widget.ShowGrid(grid);
        QVERIFY(!widget.Sortable());
        QVERIFY(!widget.isSortingEnabled());
        QCOMPARE(widget.CellText(0, 0), QString("Attacks"));
    }

    void hoverStartsAtStandardAndDisabledStopsTheOnTopTimer()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        QCOMPARE(h.hoverIntervals, std::vector<int>{250});
        Find<QSlider>(hud, "cSliderOnTop")->setValue(1);
        QVERIFY(!hud.KeepsOnTop());
    }

    // The HUD sits over the game: it can be made about half as large as it
    // opens, or larger, and its grid, labels and buttons follow, still whole.
    void contentsScaleWithTheWindow_data()
    {
        QTest::addColumn<double>("factor");
        QTest::newRow("half") << 0.5;
        QTest::newRow("three quarters") << 0.75;
        QTest::newRow("double") << 2.0;
    }
    void contentsScaleWithTheWindow()
    {
        QFETCH(double, factor);
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        h.session->Data().experienceTotal = 1234567;
        HudWindow hud(h.Context());
        hud.UpdateDisplay(true);
        hud.show();
        const QSize design = hud.size();
        const auto* grid = Find<QTableWidget>(hud, "msflexgridHUD");
        const int designGridWidth = grid->width();
        const double designPoints = Find<QLabel>(hud, "lblTotalXP")->font().pointSizeF();
        QVERIFY(hud.minimumWidth() <= design.width() * 0.55);
        QVERIFY(hud.minimumHeight() <= design.height() * 0.55);

        const QSize wanted = (QSizeF(design) * factor).toSize();
        hud.resize(wanted);
        QCOMPARE(hud.size(), wanted);
        QTRY_COMPARE(hud.Scale(), factor);
        const double points = Find<QLabel>(hud, "lblTotalXP")->font().pointSizeF();
        QVERIFY(std::abs(points - designPoints * factor) < 0.01);
        QVERIFY(std::abs(grid->width() - designGridWidth * factor) <= designGridWidth * 0.25);

        // Every control inside the window and wide enough for its text.
        const QRect inside = hud.rect();
        for (QWidget* control : hud.findChildren<QWidget*>()) {
            if (!control->isVisible() || control->parentWidget() != &hud)
                continue;
            const QRect place(control->mapTo(&hud, QPoint(0, 0)), control->size());
            QVERIFY2(inside.contains(place), qPrintable(control->objectName()));
        }
        // A wrapped label (the hint without monitoring) may take more lines instead.
        for (auto* label : hud.findChildren<QLabel*>()) {
            if (label->wordWrap() && label->isVisible())
                QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                         qPrintable(label->objectName()));
            else if (!label->wordWrap())
                QVERIFY2(label->width() >= label->sizeHint().width(),
                         qPrintable(label->objectName()));
        }
        for (auto* button : hud.findChildren<QPushButton*>()) {
            QVERIFY2(button->width() >= button->fontMetrics().horizontalAdvance(button->text()),
                     qPrintable(button->objectName()));
        }
        // Every cell wide enough for its text beside the margins the style
        // keeps, so that none is cut short with an ellipsis.
        const int textMargins =
            2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
        int columns = 0;
        for (int column = 0; column < grid->columnCount(); ++column) {
            columns += grid->columnWidth(column);
            for (int row = 0; row < grid->rowCount(); ++row) {
                const QTableWidgetItem* cell = grid->item(row, column);
                const QFontMetrics metrics(cell->font().resolve(grid->font()));
                QVERIFY2(grid->columnWidth(column) - 1 >=
                             metrics.horizontalAdvance(cell->text()) + textMargins,
                         qPrintable(cell->text()));
            }
        }
        QVERIFY(grid->width() >= columns);
        // The bold warning of the next fugue timer keeps the scaled size.
        h.RealTime().StartFugueTimer(h.clock.Now());
        h.clock.Advance((h.RealTime().FugueExpirySeconds() - 1) * 1000);
        hud.UpdateFugueLabels();
        QVERIFY(Find<QLabel>(hud, "lblNextFugueTimer")->font().bold());
        QCOMPARE(Find<QLabel>(hud, "lblNextFugueTimer")->font().pointSizeF(), points);
    }

    void refreshShowsAveragesWithoutAccumulating()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        const int total = h.config.analysis.DamageTypeCount();
        const int fire = 6;
        QCOMPARE(Cell(hud, 0, fire + 1), QString("Fire"));

        RealTimeState& realTime = h.RealTime();
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 10}})));
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 20}, {fire, 6}})));
        QVERIFY(realTime.LogAttackDamage(false, h.Damage({{0, 8}})));
        // More than one interval later a new record starts.
        h.clock.Advance(3 * 60 * 1000);
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 30}})));
        realTime.LogAttackBonus(true, 20);
        realTime.LogAttackBonus(true, 25);
        realTime.LogAttackBonus(false, 18);
        realTime.SetLastConcealment(35);
        h.session->Data().experienceTotal = 1234567;
        // Nothing changed as far as the HUD knows: no refresh.
        hud.UpdateDisplay(false);
        QCOMPARE(Text(hud, "lblTotalXP"), QString("0"));

        hud.SetRealTimeDataChanged(true);
        for (int refresh = 0; refresh < 3; ++refresh) {
            hud.UpdateDisplay(refresh > 0);
            // Physical (15 + 30) / 2; fire 6 in the one interval that had fire.
            QCOMPARE(Cell(hud, 1, 1), QString("22"));
            QCOMPARE(Cell(hud, 1, 2), QString("0"));
            QCOMPARE(Cell(hud, 1, fire + 1), QString("6"));
            QCOMPARE(Cell(hud, 1, total), QString("28"));
            QCOMPARE(Cell(hud, 2, total), QString("8"));
            QCOMPARE(Find<QTableWidget>(hud, "msflexgridHUD")->rowCount(), 3);
        }
        // The refresh took the change: the next tick redraws nothing.
        h.session->Data().experienceTotal = 7;
        hud.UpdateDisplay(false);
        QCOMPARE(Text(hud, "lblTotalXP"), QString("1,234,567"));
        QCOMPARE(Text(hud, "lblConceal"), QString("35%"));
        QCOMPARE(Text(hud, "lblABOut"), QString("22"));
        QCOMPARE(Text(hud, "lblABIn"), QString("18"));
    }

    void clearHudDataKeepsTheFugueTimersCountingDown()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        RealTimeState& realTime = h.RealTime();
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 12}})));
        QVERIFY(realTime.LogAttackDamage(false, h.Damage({{1, 4}})));
        realTime.LogAttackBonus(true, 30);
        realTime.LogAttackBonus(false, 25);
        realTime.SetLastConcealment(50);
        // Expiry after 5 minutes, warning in the last 30 seconds.
        realTime.StartFugueTimer(h.clock.Now());
        h.clock.Advance(60 * 1000);
        realTime.StartFugueTimer(h.clock.Now());
        HudWindow hud(h.Context());
        QCOMPARE(Cell(hud, 1, 1), QString("12"));

        Find<QPushButton>(hud, "cmdClearData")->click();
        const int columns = Find<QTableWidget>(hud, "msflexgridHUD")->columnCount();
        for (int column = 1; column < columns; ++column) {
            QCOMPARE(Cell(hud, 1, column), QString("0"));
            QCOMPARE(Cell(hud, 2, column), QString("0"));
        }
        QCOMPARE(Text(hud, "lblABOut"), QString("0"));
        QCOMPARE(Text(hud, "lblABIn"), QString("0"));
        QCOMPARE(Text(hud, "lblConceal"), QString("0%"));

        // Both timers still run: the first is in its warning, shown bold. The
        // countdown itself is the real-time state's test.
        h.clock.Advance(210 * 1000);
        hud.UpdateFugueLabels();
        QCOMPARE(Text(hud, "lblNumFugueTimers"), QString("2"));
        auto* next = Find<QLabel>(hud, "lblNextFugueTimer");
        QCOMPARE(next->text(), QString("0:30"));
        QVERIFY(next->font().bold());
        h.clock.Advance(31 * 1000);
        hud.UpdateFugueLabels();
        QVERIFY(!next->font().bold());
    }

    void waylandHintIsShownOnce()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        hud.ShowPlatformHint("xcb");
        QVERIFY(h.dialogs.messages.isEmpty());
        hud.ShowPlatformHint("wayland-egl");
        HudWindow(h.Context()).ShowPlatformHint("wayland"); // a later HUD
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages.front().text.contains("QT_QPA_PLATFORM=xcb"));
    }

    // Cancel changes nothing outside the dialog; Save stores the settings
    // and applies them to the HUD.
    void displaySettingsCancelledThenSaved()
    {
        HudHarness h;
        h.options.opacityPercent = 70;
        HudWindow hud(h.Context());
        hud.show();
        const auto state = [&] {
            const UserOptions& o = h.options;
            return std::tuple(o.opacityPercent, o.windowForegroundColor, o.windowBackgroundColor,
                              o.controlForegroundColor, o.controlBackgroundColor, Alpha(hud),
                              Fore(*Find(hud, "lblTotalXP")));
        };
        const auto before = state();
        h.dialogs.colors = {QColor(Qt::red)};
        bool opened = false;
        WhenModal([&](QDialog& dialog) {
            opened = true;
            auto* opacity = Find<QSlider>(dialog, "cSliderOpacity");
            QCOMPARE(opacity->value(), 70);
            // The dialog previews on itself.
            opacity->setValue(30);
            QCOMPARE(Alpha(dialog), 76);
            Button(dialog, "cmdSelectColor", 0)->click();
            Button(dialog, "cmdTestColor", 0)->click();
            QCOMPARE(Fore(dialog), QColor(Qt::red));
            Find<QPushButton>(dialog, "cmdCancel")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();
        QVERIFY(opened);
        QVERIFY(state() == before);
        QCOMPARE(Alpha(hud), 178);

        const QColor colors[] = {Qt::white, Qt::black, Qt::yellow, Qt::darkBlue};
        h.dialogs.colors = {colors[0], colors[1], colors[2], colors[3]};
        h.dialogs.pickedFrom.clear();
        WhenModal([&hud](QDialog& dialog) {
            QVERIFY(StaysAboveTheHud(dialog, hud));
            Find<QSlider>(dialog, "cSliderOpacity")->setValue(20);
            for (int row = 0; row < 4; ++row)
                Button(dialog, "cmdSelectColor", row)->click();
            Find<QPushButton>(dialog, "cmdSave")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();
        QVERIFY(hud.KeepsOnTop());

        // Each row's picker starts from that row's colour.
        QCOMPARE(h.dialogs.pickedFrom,
                 (QList<QColor>{HudHarness::WindowFore, HudHarness::WindowBack,
                                HudHarness::ControlFore, HudHarness::ControlBack}));
        QCOMPARE(h.options.opacityPercent, 20);
        QCOMPARE(h.options.windowForegroundColor, ToColorValue(colors[0]));
        QCOMPARE(h.options.windowBackgroundColor, ToColorValue(colors[1]));
        QCOMPARE(h.options.controlForegroundColor, ToColorValue(colors[2]));
        QCOMPARE(h.options.controlBackgroundColor, ToColorValue(colors[3]));

        QCOMPARE(Alpha(hud), 51);
        QCOMPARE(hud.palette().color(QPalette::Window), colors[1]);
        QCOMPARE(Fore(*Find(hud, "lblTotalXP")), colors[0]);
        QCOMPARE(Find(hud, "cmdClearData")->palette().color(QPalette::Button), colors[3]);
        const QTableWidgetItem* header = Find<QTableWidget>(hud, "msflexgridHUD")->item(0, 1);
        QCOMPARE(header->foreground().color(), colors[2]);
        QCOMPARE(header->background().color(), colors[3]);
    }

    // No and Cancel change nothing; an accepted change writes the four keys
    // in order, applies them and empties the HUD, and applies them even when
    // the file cannot be written.
    void rtmSettingsRefusedThenAcceptedThenFailingToWrite()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        h.RealTime().LogAttackBonus(true, 25);
        HudWindow hud(h.Context());
        QCOMPARE(Text(hud, "lblABOut"), QString("25"));
        const std::string before = ReadText(h.config.path);
        {
            RtmSettingsDialog dialog(h.Context(), &hud);
            QSignalSpy finished(&dialog, &QDialog::finished);
            SetSliders(dialog, 9, 50, 70, 6);
            h.dialogs.answers.enqueue(Dialogs::Answer::No);
            Find<QPushButton>(dialog, "cmdAccept")->click();
            QCOMPARE(h.dialogs.questions.size(), 1);
            QCOMPARE(finished.count(), 0);

            Find<QPushButton>(dialog, "cmdCancel")->click();
            QCOMPARE(finished.count(), 1);
            QCOMPARE(h.dialogs.questions.size(), 1);
        }
        QCOMPARE(ReadText(h.config.path), before);
        RealTimeState& realTime = h.RealTime();
        QCOMPARE(realTime.FugueExpirySeconds(), 300);
        QCOMPARE(realTime.FugueWarningSeconds(), 30);
        QCOMPARE(realTime.GetNumABRecords(), 20);
        QCOMPARE(realTime.RollingIntervalMinutes(), 2);
        QCOMPARE(Text(hud, "lblABOut"), QString("25"));

        // A file without the section shows the order of the writes.
        const std::string written = h.dir.File("written.ini");
        h.config.file = ConfigurationFile(written);
        QVERIFY(!WriteFileAtomically(written, "[Updates]\nURL=x\n"));
        h.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        WhenModal([&hud](QDialog& dialog) {
            QVERIFY(StaysAboveTheHud(dialog, hud));
            SetSliders(dialog, 1, 60, 50, 3);
            Find<QPushButton>(dialog, "cmdAccept")->click();
        });
        Find<QPushButton>(hud, "cmdMonitoringOptions")->click();
        QVERIFY(hud.KeepsOnTop());
        QCOMPARE(h.dialogs.questions.size(), 2);
        QCOMPARE(ReadText(written), std::string("[Updates]\nURL=x\n\n[Real-time Monitoring]\n"
                                                "RollingAverageInterval=3\nFugueTimerWarning=60\n"
                                                "FugueTimerExpiration=1\nABAverageRecords=50\n"));
        // A timer must outlast its warning: one minute with 60 seconds runs 61.
        QCOMPARE(realTime.FugueExpirySeconds(), 61);
        QCOMPARE(realTime.FugueWarningSeconds(), 60);
        QCOMPARE(realTime.GetNumABRecords(), 50);
        QCOMPARE(realTime.RollingIntervalMinutes(), 3);
        QCOMPARE(Text(hud, "lblABOut"), QString("0"));

        h.config.file = ConfigurationFile(h.dir.File("missing-folder/Tarvik.ini"));
        RtmSettingsDialog dialog(h.Context(), &hud);
        SetSliders(dialog, 8, 30, 20, 2);
        h.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        Find<QPushButton>(dialog, "cmdAccept")->click();
        QCOMPARE(realTime.FugueExpirySeconds(), 480);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages.front().text.contains("missing-folder"));
    }
};

QTEST_MAIN(HudWindowTest)
#include "HudWindowTest.moc"
