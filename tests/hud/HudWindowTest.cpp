#include "ui/gui/HudWindow.h"

#include "HudTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

namespace {

QString Cell(const HudWindow& hud, int row, int column)
{
    const QTableWidgetItem* item = Find<QTableWidget>(hud, "msflexgridHUD")->item(row, column);
    return item ? item->text() : QString("<none>");
}

QString Text(const HudWindow& hud, const char* label)
{
    return Find<QLabel>(hud, label)->text();
}

} // namespace

class HudWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void hoverSliderSetsTheOnTopTimer()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        auto* slider = Find<QSlider>(hud, "cSliderOnTop");
        QTimer* onTop = Find<QTimer>(hud, "timerOnTop");
        // A missing level is stored as Standard at once.
        QCOMPARE(slider->value(), 3);
        QCOMPARE(h.store.Read("HUDOptions", "HoverBehavior").value_or(""), std::string("3"));
        QCOMPARE(h.hoverIntervals, std::vector<int>{250});

        const struct {
            int level;
            bool running;
            int interval;
            const char* caption;
        } steps[] = {{4, true, 100, "Aggressive"},
                     {2, true, 500, "Relaxed"},
                     // Disabled stops the timer and leaves its interval alone.
                     {1, false, 500, "Disabled"},
                     {3, true, 250, "Standard"}};
        for (const auto& step : steps) {
            slider->setValue(step.level);
            QCOMPARE(onTop->isActive(), step.running);
            QCOMPARE(onTop->interval(), step.interval);
            QCOMPARE(Find<QLabel>(hud, "cSliderOnTopCaption")->text(), QString(step.caption));
            QCOMPARE(h.store.Read("HUDOptions", "HoverBehavior").value_or(""),
                     std::to_string(step.level));
            // The main window's timer follows, within its 100..500 ms.
            QCOMPARE(h.hoverIntervals.back(), step.interval);
        }
    }

    void settingsDialogsRestTheOnTopTimer()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        hud.show();
        QTimer* onTop = Find<QTimer>(hud, "timerOnTop");
        for (const char* button : {"cmdCustomizeDisplay", "cmdMonitoringOptions"}) {
            QVERIFY(onTop->isActive());
            bool opened = false;
            // Raising the HUD while a dialog is open would cover the dialog.
            WhenModal([&](QDialog& dialog) {
                opened = true;
                QVERIFY(!onTop->isActive());
                QCOMPARE(dialog.parentWidget(), &hud);
                QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            });
            Find<QPushButton>(hud, button)->click();
            QVERIFY2(opened, button);
        }
        QVERIFY(onTop->isActive());
    }

    void refreshShowsAveragesAndStatisticsWithoutAccumulating()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        const int total = h.config.analysis.DamageTypeCount();
        const int fire = 6;
        QCOMPARE(Cell(hud, 0, fire + 1), QString("Fire"));
        QCOMPARE(Cell(hud, 0, total), QString("Total"));
        QCOMPARE(Cell(hud, 1, 0), QString("C Attacks"));
        QCOMPARE(Cell(hud, 2, 0), QString("E Attacks"));

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

        h.session->Data().realTimeDataChanged = true;
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
        QVERIFY(!h.session->Data().realTimeDataChanged);
        QCOMPARE(Text(hud, "lblTotalXP"), QString("1,234,567"));
        QCOMPARE(Text(hud, "lblConceal"), QString("35%"));
        QCOMPARE(Text(hud, "lblABOut"), QString("22"));
        QCOMPARE(Text(hud, "lblABIn"), QString("18"));
    }

    void clearHudDataKeepsTheFugueTimers()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        RealTimeState& realTime = h.RealTime();
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 12}})));
        QVERIFY(realTime.LogAttackDamage(false, h.Damage({{1, 4}})));
        realTime.LogAttackBonus(true, 30);
        realTime.LogAttackBonus(false, 25);
        realTime.SetLastConcealment(50);
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
        hud.UpdateFugueLabels();
        QCOMPARE(Text(hud, "lblNumFugueTimers"), QString("1"));
    }

    void fugueLabelsCountDownAndTurnBold()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        auto* next = Find<QLabel>(hud, "lblNextFugueTimer");
        // Expiry after 5 minutes, warning in the last 30 seconds.
        h.RealTime().StartFugueTimer(h.clock.Now());
        h.clock.Advance(60 * 1000);
        h.RealTime().StartFugueTimer(h.clock.Now());

        const struct {
            int advanceSeconds;
            const char* count;
            const char* next;
            bool bold;
        } steps[] = {{0, "2", "4:00", false},
                     {210, "2", "0:30", true},
                     // The first expires; the second has a minute left.
                     {31, "1", "0:59", false},
                     {60, "n/a", "n/a", false}};
        for (const auto& step : steps) {
            h.clock.Advance(step.advanceSeconds * 1000);
            hud.UpdateFugueLabels();
            QCOMPARE(Text(hud, "lblNumFugueTimers"), QString(step.count));
            QCOMPARE(next->text(), QString(step.next));
            QCOMPARE(next->font().bold(), step.bold);
        }
    }

    void refreshStopsForGoodWithoutMonitoring()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        QTimer* refresh = Find<QTimer>(hud, "timerUpdateDisplay");
        QVERIFY(refresh->isActive());

        h.session->SetMonitoringEnabled(false);
        h.session->Data().experienceTotal = 5000;
        h.session->Data().realTimeDataChanged = true;
        hud.UpdateDisplay(false);
        QVERIFY(!refresh->isActive());
        QCOMPARE(Text(hud, "lblTotalXP"), QString("0"));

        // Monitoring again: a forced refresh shows the data, the timer stays off.
        h.session->SetMonitoringEnabled(true);
        hud.UpdateDisplay(true);
        QCOMPARE(Text(hud, "lblTotalXP"), QString("5,000"));
        QVERIFY(!refresh->isActive());
    }

    void waylandHintIsShownOnce()
    {
        HudHarness h;
        {
            HudWindow hud(h.Context());
            hud.ShowPlatformHint("xcb");
            QVERIFY(h.dialogs.messages.isEmpty());
            hud.ShowPlatformHint("wayland-egl");
            QCOMPARE(h.dialogs.messages.size(), 1);
            QVERIFY(h.dialogs.messages.front().text.contains("QT_QPA_PLATFORM=xcb"));
        }
        HudWindow later(h.Context());
        later.ShowPlatformHint("wayland");
        QCOMPARE(h.dialogs.messages.size(), 1);
    }
};

QTEST_MAIN(HudWindowTest)
#include "HudWindowTest.moc"
